#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "cache/CleanFolder.h"
#include "platform/Debug.h"
#include "platform/Files.h"
#include "platform/FolderWalk.h"
#include "support/FileHelpers.h"
#include "support/Sandbox.h"

using namespace zorv::test;
namespace fs = std::filesystem;

namespace {

class CleanFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cache_ = box_.Path("cache");
    fs::create_directories(cache_);
    platform::SetDebugSink([this](const std::wstring& line) { lines_.push_back(Narrow(line)); });
  }
  void TearDown() override { platform::SetDebugSink(nullptr); }

  void File(const std::string& relative, const std::string& bytes = "x") {
    fs::create_directories(fs::path(cache_ + "/" + relative).parent_path());
    ASSERT_TRUE(WriteFile(cache_ + "/" + relative, bytes));
  }
  // Everything left below the cache folder, as sorted relative paths.
  std::vector<std::string> Left() const {
    std::vector<std::string> left;
    for (const auto& e : fs::recursive_directory_iterator(cache_))
      left.push_back(fs::relative(e.path(), cache_).string() + (e.is_directory() && !e.is_symlink() ? "/" : ""));
    std::sort(left.begin(), left.end());
    return left;
  }
  bool Logged(const std::string& line) const { return std::find(lines_.begin(), lines_.end(), line) != lines_.end(); }

  Sandbox box_;
  std::string cache_;
  std::vector<std::string> lines_;
};

TEST_F(CleanFolderTest, EmptiesTheTreeButKeepsEveryDesktopIniAndTheTopFolder) {
  File("index.dat");
  File("desktop.ini", "top");
  File("desktop.ini.bak");
  File("Content.IE5/ABC123/page[1].htm");
  File("Content.IE5/ABC123/Desktop.INI");
  File("Content.IE5/XYZ/deep/er/script.js");
  File("Content.IE5/XYZ/deep/er/DESKTOP.ini");
  File("gone/a/b/c.png");
  fs::create_directories(cache_ + "/empty/folder");
  File("readonly.bin");
  ASSERT_EQ(chmod((cache_ + "/readonly.bin").c_str(), 0444), 0);
  File("locked/inner.txt");
  ASSERT_EQ(chmod((cache_ + "/locked/inner.txt").c_str(), 0444), 0);
  ASSERT_EQ(chmod((cache_ + "/locked").c_str(), 0555), 0);

  EXPECT_TRUE(CleanFolder(Widen(cache_)));

  EXPECT_EQ(Left(), (std::vector<std::string>{
                        "Content.IE5/", "Content.IE5/ABC123/", "Content.IE5/ABC123/Desktop.INI", "Content.IE5/XYZ/",
                        "Content.IE5/XYZ/deep/", "Content.IE5/XYZ/deep/er/", "Content.IE5/XYZ/deep/er/DESKTOP.ini",
                        "desktop.ini"}));
  EXPECT_EQ(ReadFile(cache_ + "/desktop.ini"), "top");
  ASSERT_FALSE(lines_.empty());
  EXPECT_EQ(lines_.front(), "开始清理" + cache_ + "文件夹\r\n");
  // A deleted file is logged by its name, a visited folder by its path.
  EXPECT_TRUE(Logged("开始清理readonly.bin文件夹\r\n"));
  EXPECT_TRUE(Logged("开始清理index.dat文件夹\r\n"));
  EXPECT_TRUE(Logged("开始清理" + cache_ + "/gone/a/b文件夹\r\n"));
  EXPECT_FALSE(Logged("开始清理desktop.ini文件夹\r\n"));
}

TEST_F(CleanFolderTest, RemovesLinksWithoutFollowingThem) {
  const std::string outside = box_.Path("outside");
  fs::create_directories(outside + "/sub");
  ASSERT_TRUE(WriteFile(outside + "/sub/keep.txt", "k"));
  ASSERT_TRUE(WriteFile(outside + "/ro.txt", "r"));
  ASSERT_EQ(chmod((outside + "/ro.txt").c_str(), 0444), 0);
  fs::create_symlink(outside, cache_ + "/to-folder");
  fs::create_symlink(outside + "/ro.txt", cache_ + "/to-file");
  fs::create_symlink(box_.Path("nowhere"), cache_ + "/dangling");

  EXPECT_TRUE(CleanFolder(Widen(cache_)));

  EXPECT_TRUE(Left().empty());
  EXPECT_EQ(ReadFile(outside + "/sub/keep.txt"), "k");
  EXPECT_EQ(FileMode(outside + "/ro.txt"), 0444);
}

TEST_F(CleanFolderTest, UnlistableFolderEndsAtOnceWithoutFailureLines) {
  File("plain.txt");
  for (const std::string& path : {cache_ + "/missing", cache_ + "/plain.txt"}) {
    lines_.clear();
    EXPECT_FALSE(CleanFolder(Widen(path))) << path;
    EXPECT_EQ(lines_, (std::vector<std::string>{"开始清理" + path + "文件夹\r\n"}));
  }
  EXPECT_EQ(Left(), (std::vector<std::string>{"plain.txt"}));

  std::vector<platform::FolderEntry> entries{{L"stale", platform::EntryKind::File}};
  EXPECT_FALSE(platform::ListFolderEntries(Widen(cache_ + "/missing"), &entries));
  EXPECT_TRUE(entries.empty());
  EXPECT_EQ(platform::LastError(), ENOENT);
  EXPECT_FALSE(platform::ListFolderEntries(Widen(cache_ + "/plain.txt"), &entries));
  EXPECT_EQ(platform::LastError(), ENOTDIR);
}

// A folder nested so deep that its path, joined with a long file name, is too
// long for the system (PATH_MAX 4096): the folder lists, but its file cannot
// be deleted, and the folder below it cannot even be listed. Built, examined
// and removed through descriptors, since no full path reaches that far.
class DeepTree {
 public:
  explicit DeepTree(const std::string& base) : base_(base) {
    constexpr std::size_t kFolderLength = 3950;
    std::size_t length = base.size();
    while (length + 201 <= kFolderLength - 50) {
      levels_.push_back(std::string(200, 'd'));
      length += 201;
    }
    levels_.push_back(std::string(kFolderLength - length - 1, 'e'));
    int fd = Open(0, true);
    close(openat(fd, kFile.c_str(), O_WRONLY | O_CREAT, 0644));
    mkdirat(fd, kBelow.c_str(), 0755);
    int below = openat(fd, kBelow.c_str(), O_RDONLY | O_DIRECTORY);
    close(openat(below, "unreached", O_WRONLY | O_CREAT, 0644));
    close(below);
    close(fd);
  }
  ~DeepTree() {
    int fd = Open(0, false);
    int below = openat(fd, kBelow.c_str(), O_RDONLY | O_DIRECTORY);
    unlinkat(below, "unreached", 0);
    close(below);
    unlinkat(fd, kBelow.c_str(), AT_REMOVEDIR);
    unlinkat(fd, kFile.c_str(), 0);
    close(fd);
    for (std::size_t keep = levels_.size(); keep-- > 0;) {
      int parent = Open(levels_.size() - keep, false);
      unlinkat(parent, levels_[keep].c_str(), AT_REMOVEDIR);
      close(parent);
    }
  }
  bool FilePresent() const { return Present(kFile); }
  bool UnreachedPresent() const { return Present(kBelow + "/unreached"); }
  inline static const std::string kFile = std::string(200, 'f');

 private:
  inline static const std::string kBelow = std::string(200, 'b');
  // The deepest folder, leaving out the last `up` levels; created when asked.
  int Open(std::size_t up, bool create) const {
    int fd = open(base_.c_str(), O_RDONLY | O_DIRECTORY);
    for (std::size_t i = 0; i + up < levels_.size(); ++i) {
      if (create) mkdirat(fd, levels_[i].c_str(), 0755);
      int next = openat(fd, levels_[i].c_str(), O_RDONLY | O_DIRECTORY);
      close(fd);
      fd = next;
    }
    return fd;
  }
  bool Present(const std::string& relative) const {
    int fd = Open(0, false);
    bool present = fd >= 0 && faccessat(fd, relative.c_str(), F_OK, 0) == 0;
    close(fd);
    return present;
  }
  std::string base_;
  std::vector<std::string> levels_;
};

TEST_F(CleanFolderTest, AFileThatCannotBeDeletedIsLoggedAndStaysWhileTheRestGoes) {
  File("first.txt");
  File("zz/last.txt");
  {
    DeepTree deep(cache_);
    EXPECT_TRUE(CleanFolder(Widen(cache_)));
    EXPECT_TRUE(deep.FilePresent());
    EXPECT_TRUE(deep.UnreachedPresent());
    EXPECT_TRUE(Logged("***********删除文件:" + DeepTree::kFile + "失败，错误代码:" + std::to_string(ENAMETOOLONG) +
                       "******************\r\n"));
  }
  EXPECT_FALSE(Exists(cache_ + "/first.txt"));
  EXPECT_FALSE(Exists(cache_ + "/zz"));
  EXPECT_TRUE(Left().empty());
}

}  // namespace
