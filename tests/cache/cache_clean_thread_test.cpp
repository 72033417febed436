#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "cache/CacheCleanThread.h"
#include "cache/ClearUrlCache.h"
#include "platform/Debug.h"
#include "support/FileHelpers.h"
#include "support/Sandbox.h"
#include "ui/HeadlessFixture.h"
#include "ui/Messages.h"
#include "ui/Window.h"
#include "ui/headless/HeadlessBrowserData.h"

using namespace ui;
using namespace zorv::test;
namespace fs = std::filesystem;

namespace {

constexpr DWORD kNormal = 0x1, kSticky = 0x4;

// Stands for the main window: what it saw when command 10002 arrived.
class Main : public Window {
 public:
  bool Make() { return CreateEx({L"Main", L"main", WS_POPUP | WS_VISIBLE, 0, Rect::FromXYWH(0, 0, 100, 100), 0, 0}); }
  struct Done {
    std::thread::id thread;
    int liveWorkers;
    bool folderEmpty;
    std::size_t entriesLeft;
    std::size_t linesSoFar;
  };
  std::vector<Done> done;
  std::function<Done()> look;

 protected:
  bool OnCommand(WPARAM wParam, LPARAM lParam) override {
    if (LOWORD(wParam) == kCacheCleanedCommand && lParam == 0) done.push_back(look());
    return true;
  }
};

class CacheCleanTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    data_ = std::make_shared<headless::HeadlessBrowserData>();
    SetBrowserData(data_);
    platform::SetDebugSink([this](const std::wstring& line) {
      std::lock_guard lock(linesMutex_);
      lines_.push_back(Narrow(line));
    });
    ASSERT_TRUE(main_.Make());
    main_.look = [this] {
      std::lock_guard lock(linesMutex_);
      std::error_code missing;
      return Main::Done{std::this_thread::get_id(), LiveWorkerCount(), fs::is_empty(cacheFolder_, missing),
                        data_->Entries().size(), lines_.size()};
    };
  }
  void TearDown() override {
    platform::SetDebugSink(nullptr);
    SetBrowserData(nullptr);
    HeadlessTest::TearDown();
  }
  void Stage() {
    fs::create_directories(cacheFolder_ + "/Content/AB12");
    ASSERT_TRUE(WriteFile(cacheFolder_ + "/Content/AB12/game.js", "js"));
    ASSERT_TRUE(WriteFile(cacheFolder_ + "/index.dat", "idx"));
    data_->AddEntry({L"http://game.example/game.js", kNormal, 1234});
    data_->AddEntry({L"Cookie:player@game.example/", COOKIE_CACHE_ENTRY, 90});
    data_->AddEntry({L"http://game.example/logo.png", kNormal | kSticky, 56});
    data_->AddEntry({L"Cookie:player@login.example/", COOKIE_CACHE_ENTRY | kNormal, 80});
  }
  std::vector<std::string> Lines() {
    std::lock_guard lock(linesMutex_);
    return lines_;
  }

  Sandbox box_;
  // The browser's own cache folder, where the default CacheFolder points.
  std::string cacheFolder_ = box_.CacheHome() + "/Zorv/browser";
  std::shared_ptr<headless::HeadlessBrowserData> data_;
  Main main_;
  std::mutex linesMutex_;
  std::vector<std::string> lines_;
};

TEST_F(CacheCleanTest, WorkerClearsEntriesAndFolderThenReportsOnTheUiThreadWhileItWaits) {
  Stage();
  StartCacheClean(main_.GetSafeHwnd());
  hl().WaitForWorkers();

  ASSERT_EQ(main_.done.size(), 1u);
  const Main::Done& done = main_.done[0];
  EXPECT_EQ(done.thread, std::this_thread::get_id());
  EXPECT_EQ(done.liveWorkers, 1);  // the worker is still blocked in its send
  EXPECT_TRUE(done.folderEmpty);
  EXPECT_EQ(done.entriesLeft, 2u);
  EXPECT_EQ(done.linesSoFar, Lines().size());  // nothing after the report
  EXPECT_EQ(data_->Deleted(), (std::vector<std::wstring>{L"http://game.example/game.js", L"http://game.example/logo.png"}));
  for (const UrlCacheEntry& kept : data_->Entries()) EXPECT_TRUE(kept.type & COOKIE_CACHE_ENTRY);

  const std::vector<std::string> lines = Lines();
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 4),
            (std::vector<std::string>{"*******第一次查找缓存:缓存大小为:1234。************\r\n",
                                      "*******第二次查找缓存:缓存大小为:1234。************\r\n",
                                      "临时文件夹路径为:" + cacheFolder_ + "\r\n",
                                      "开始清理" + cacheFolder_ + "文件夹\r\n"}));
}

TEST_F(CacheCleanTest, ReportsAlsoWhenNothingCanBeFoundOrListed) {
  struct Case {
    const char* what;
    bool listable;
    std::optional<std::wstring> folder;
  };
  const Case cases[] = {
      {"unknown cache folder, cache not enumerable", false, std::wstring()},
      {"missing cache folder, empty cache", true, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    main_.done.clear();
    {
      std::lock_guard lock(linesMutex_);
      lines_.clear();
    }
    data_->SetListable(c.listable);
    data_->SetCacheFolder(c.folder);
    StartCacheClean(main_.GetSafeHwnd());
    hl().WaitForWorkers();
    EXPECT_EQ(main_.done.size(), 1u);
    std::vector<std::string> expected{"*******第一次查找缓存:未找到缓存。************\r\n",
                                      "*******第二次查找缓存:未找到缓存。************\r\n"};
    if (c.folder == std::nullopt) {
      expected.push_back("临时文件夹路径为:" + cacheFolder_ + "\r\n");
      expected.push_back("开始清理" + cacheFolder_ + "文件夹\r\n");
    }
    EXPECT_EQ(Lines(), expected);
  }
}

TEST_F(CacheCleanTest, UrlCacheKeepsCookiesAndFailsWhenItCannotBeListed) {
  Stage();
  data_->SetListable(false);
  EXPECT_FALSE(ClearUrlCache());
  EXPECT_EQ(data_->Entries().size(), 4u);
  data_->SetListable(true);
  EXPECT_TRUE(ClearUrlCache());
  EXPECT_EQ(data_->Entries().size(), 2u);
  EXPECT_TRUE(ClearUrlCache());  // the cookies are still listed
  EXPECT_EQ(data_->Entries().size(), 2u);
}

// Two runs side by side, as a second click from the tray starts: both end and
// both report.
TEST_F(CacheCleanTest, TwoRunsSideBySideBothReport) {
  Stage();
  for (int i = 0; i < 200; ++i) ASSERT_TRUE(WriteFile(cacheFolder_ + "/f" + std::to_string(i), "x"));
  StartCacheClean(main_.GetSafeHwnd());
  StartCacheClean(main_.GetSafeHwnd());
  hl().WaitForWorkers();
  EXPECT_EQ(main_.done.size(), 2u);
  EXPECT_TRUE(fs::is_empty(cacheFolder_));
  EXPECT_EQ(data_->Entries().size(), 2u);
}

}  // namespace
