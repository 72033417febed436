// The embedded game window on the headless desktop, docked into a staged
// frame window of another process: docking and its announcement, the
// frame's relayout, refresh and close, keys that belong to the page, the
// watch on the frame window, and the start from the command line.
#include <gmock/gmock.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <string>
#include <vector>

#include "app/Zedoro_BrixApp.h"
#include "gamewnd/GameWndDlg.h"
#include "gamewnd/Zedoro_BrixDlg.h"
#include "platform/Process.h"
#include "support/ChildProcess.h"
#include "support/Sandbox.h"
#include "ui/Browser.h"
#include "ui/HeadlessFixture.h"
#include "ui/Input.h"
#include "ui/System.h"
#include "ui/headless/HeadlessBrowser.h"

using namespace ui;
using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

// Both sides of the docking protocol agree on the frame's strip.
static_assert(CGameWndDlg::kFrameStripHeight == CZedoro_BrixDlg::kTitleHeight);

// The frame's window on the screen; its client area is 1000 x 700.
constexpr Rect kFrameOnScreen{200, 100, 1200, 800};
constexpr wchar_t kGameUrl[] = L"http://127.0.0.1:18080/play?play_gamecode=abc&server=7";
// Notices a vanished frame at once, and leaves the process-ending fallback
// far away: a test's own window end stops the watcher long before.
constexpr FrameWatchTiming kQuickWatch{10ms, 60s};

class GameWndDlgTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    headless::InstallHeadlessBrowser();
    savedCommandLine_ = platform::GetCommandLine();
    frame = hl().AddForeignWindow({L"FrameWindow", L"frame", kFrameOnScreen, true, {}, {}});
  }
  void TearDown() override {
    platform::SetCommandLine(savedCommandLine_);
    HeadlessTest::TearDown();
  }

  std::vector<Msg> FrameReceived(UINT message) {
    std::vector<Msg> out;
    for (const Msg& m : hl().FindForeign(frame)->received)
      if (m.message == message) out.push_back(m);
    return out;
  }

  // Where a docked window is: its rectangle in the frame's client area.
  static Rect InFrame(const Window& w) { return w.GetWindowRect().Offset(-kFrameOnScreen.left, -kFrameOnScreen.top); }

  HWND frame = 0;

 private:
  std::wstring savedCommandLine_;
};

void ExpectDockedBelowStrip(CGameWndDlg& dlg, HWND frame, const std::wstring& url) {
  EXPECT_EQ(dlg.GetParentHandle(), frame);
  EXPECT_TRUE(dlg.GetStyle() & WS_CHILD);
  EXPECT_TRUE(dlg.IsWindowVisible());
  EXPECT_EQ(dlg.GetWindowRect(), (Rect{200, 130, 1200, 800}));
  CMyHtmlView* view = dlg.GetHtmlView();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->GetWindowRect(), dlg.GetWindowRect());
  EXPECT_EQ(view->GetDlgCtrlID(), CMyHtmlView::kControlId);
  headless::HeadlessPage* page = headless::PageOf(*view);
  ASSERT_NE(page, nullptr);
  EXPECT_THAT(page->Navigations(), ElementsAre(url));
}

TEST_F(GameWndDlgTest, DocksBelowTheFrameStripAndAnnouncesItselfOnce) {
  CGameWndDlg dlg(frame, kGameUrl);
  ASSERT_TRUE(dlg.Create(frame));
  ExpectDockedBelowStrip(dlg, frame, kGameUrl);
  const std::vector<Msg> attach = FrameReceived(WM_GAMEWND_ATTACH);
  ASSERT_EQ(attach.size(), 1u);
  EXPECT_EQ(attach[0].wParam, dlg.GetSafeHwnd());
  EXPECT_EQ(attach[0].lParam, 0);
}

TEST_F(GameWndDlgTest, RelayoutFitsTheFramesCurrentClientAreaAndShowsTheWindow) {
  CGameWndDlg dlg(frame, kGameUrl);
  ASSERT_TRUE(dlg.Create(frame));
  struct Case {
    WPARAM mode;
    Rect frameOnScreen;
    Rect expected;  // in the frame's client area
  };
  // The frame changes size before it asks: the window follows the new size.
  const Case cases[] = {
      {1, {200, 100, 1800, 1000}, {0, 0, 1600, 900}},
      {0, {200, 100, 1800, 1000}, {0, 30, 1600, 900}},
      {1, kFrameOnScreen, {0, 0, 1000, 700}},
      {0, kFrameOnScreen, {0, 30, 1000, 700}},
      // A frame lower than its strip: nothing left below it, and no negative height.
      {0, {200, 100, 1200, 120}, {0, 30, 1000, 30}},
      {1, {200, 100, 1200, 120}, {0, 0, 1000, 20}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "relayout " << c.mode << " in a frame of " << c.frameOnScreen.Width() << "x"
                                    << c.frameOnScreen.Height());
    hl().FindForeign(frame)->rect = c.frameOnScreen;
    dlg.ShowWindow(SW_HIDE);
    EXPECT_EQ(dlg.SendMessage(WM_GAMEWND_RELAYOUT, c.mode, 0), 0);
    EXPECT_EQ(dlg.GetWindowRect(), c.expected.Offset(c.frameOnScreen.left, c.frameOnScreen.top));
    EXPECT_TRUE(dlg.IsWindowVisible());
    EXPECT_EQ(dlg.GetHtmlView()->GetWindowRect(), dlg.GetWindowRect());
  }
}

TEST_F(GameWndDlgTest, EnterAndEscapeGoToThePageAndNeverEndTheWindow) {
  CGameWndDlg dlg(frame, kGameUrl);
  ASSERT_TRUE(dlg.Create(frame));
  headless::HeadlessPage* page = headless::PageOf(*dlg.GetHtmlView());
  // The desktop gives the docked window the keyboard when the player clicks
  // into the page (the frame's process holds the foreground).
  input::Activated(dlg.GetSafeHwnd());
  dlg.GetHtmlView()->GetBrowser()->SetFocus();
  hl().KeyPress(VK_RETURN);
  hl().KeyPress(VK_ESCAPE);
  std::vector<WPARAM> keys;
  for (const Msg& m : page->InputSeen())
    if (m.message == WM_KEYDOWN) keys.push_back(m.wParam);
  EXPECT_THAT(keys, ElementsAre(VK_RETURN, VK_ESCAPE));
  EXPECT_TRUE(dlg.IsWindowVisible());
  EXPECT_NE(dlg.GetHtmlView(), nullptr);
}

TEST_F(GameWndDlgTest, RefreshReloadsThePageAndCloseEndsTheLoop) {
  CGameWndDlg dlg(frame, kGameUrl);
  ASSERT_TRUE(dlg.Create(frame));
  headless::HeadlessPage* page = headless::PageOf(*dlg.GetHtmlView());
  ASSERT_TRUE(ui::PostMessage(dlg.GetSafeHwnd(), WM_GAMEWND_REFRESH));
  PumpMessages();
  EXPECT_EQ(page->RefreshCount(), 1);

  dlg.SendMessage(WM_CLOSE);
  EXPECT_EQ(dlg.GetHtmlView(), nullptr);
  EXPECT_TRUE(headless::LivePages().empty());
  // The window itself stays until the process ends.
  EXPECT_TRUE(ui::IsWindow(dlg.GetSafeHwnd()));
  EXPECT_EQ(RunMessageLoop(), 0);

  // A frame that goes on talking to a closed window does no harm.
  ui::PostMessage(dlg.GetSafeHwnd(), WM_GAMEWND_REFRESH);
  PumpMessages();
  EXPECT_EQ(dlg.SendMessage(WM_GAMEWND_RELAYOUT, 1, 0), 0);
}

TEST_F(GameWndDlgTest, VanishedFrameClosesTheWindowAndEndsTheLoop) {
  CGameWndDlg dlg(frame, kGameUrl, kQuickWatch);
  ASSERT_TRUE(dlg.Create(frame));
  hl().RemoveForeignWindow(frame);
  // The watcher's thread posts WM_CLOSE; the window drops its page and quits.
  ASSERT_TRUE(zorv::test::WaitUntil([&] {
    PumpMessages();
    return dlg.GetHtmlView() == nullptr;
  }));
  EXPECT_EQ(RunMessageLoop(), 0);
}

using GameWndDlgDeathTest = GameWndDlgTest;

TEST_F(GameWndDlgDeathTest, VanishedFrameEndsTheProcessEvenWhenTheWindowNeverCloses) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        CGameWndDlg dlg(frame, kGameUrl, {10ms, 10ms});
        dlg.Create(frame);
        hl().RemoveForeignWindow(frame);
        // The user-interface thread is stuck and never handles the WM_CLOSE.
        std::promise<void>().get_future().wait_for(30s);
        std::fprintf(stderr, "the process outlived its frame\n");
        std::abort();
      },
      testing::ExitedWithCode(0), "");
}

TEST_F(GameWndDlgTest, CommandLineDocksAndNavigatesThenTheLoopRunsUntilClose) {
  platform::SetCommandLine(L"\"/opt/z/Zedoro_Brix\" -frameWnd=" + std::to_wstring(frame) + L" -gameurl=page one");
  ASSERT_TRUE(theApp.InitInstance());
  auto* dlg = dynamic_cast<CGameWndDlg*>(GetMainWindow());
  ASSERT_NE(dlg, nullptr);
  ExpectDockedBelowStrip(*dlg, frame, L"page one");
  ASSERT_EQ(FrameReceived(WM_GAMEWND_ATTACH).size(), 1u);
  // The frame closes it: the loop ends and the process with code 0. The
  // window object goes with its window at shut-down.
  ui::SendMessage(dlg->GetSafeHwnd(), WM_CLOSE);
  EXPECT_EQ(theApp.Run(), 0);
}

TEST_F(GameWndDlgTest, FrameOfThisProcessTakesTheDockedWindowAlongAndTheLoopEnds) {
  Window frameWnd;
  ASSERT_TRUE(frameWnd.CreateEx({L"FrameWindow", L"frame", WS_POPUP | WS_VISIBLE, 0, kFrameOnScreen, 0, 0}));
  ASSERT_TRUE(CGameWndDlg::StartEmbedded(frameWnd.GetSafeHwnd(), kGameUrl, kQuickWatch));
  auto* dlg = dynamic_cast<CGameWndDlg*>(GetMainWindow());
  ASSERT_NE(dlg, nullptr);
  ExpectDockedBelowStrip(*dlg, frameWnd.GetSafeHwnd(), kGameUrl);
  frameWnd.DestroyWindow();
  EXPECT_EQ(GetMainWindow(), nullptr);
  EXPECT_TRUE(headless::LivePages().empty());
  EXPECT_EQ(RunMessageLoop(), 0);
}

TEST_F(GameWndDlgTest, CommandLineWithoutAUsableFrameEndsAtOnceSayingWhy) {
  struct Case {
    const char* name;
    std::function<HWND()> frameHandle;
    std::function<void()> arrange;
    const char* said;
  } cases[] = {
      {"handle of no window", [&] { return frame + 1000; }, [] {}, "the frame window does not exist"},
      {"page view cannot be made", [&] { return frame; }, [] { SetBrowserEngineFactory({}); },
       "could not be made"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.arrange();
    platform::SetCommandLine(L"-frameWnd=" + std::to_wstring(c.frameHandle()) + L" -gameurl=" + kGameUrl);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(theApp.InitInstance());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_THAT(said, HasSubstr(c.said));
    EXPECT_THAT(said, HasSubstr("the embedded game window is not started"));
    EXPECT_EQ(GetMainWindow(), nullptr);
    EXPECT_TRUE(headless::LivePages().empty());
    headless::InstallHeadlessBrowser();
  }
}

#ifdef ZORV_CLIENT_EXE
TEST(EmbeddedProcess, FrameThatIsNoWindowEndsTheClientAtOnceSayingWhy) {
  zorv::test::Sandbox sandbox;
  zorv::test::ChildOptions options;
  options.env = sandbox.Environment();
  options.env.push_back("ZORV_BACKEND=headless");
  options.timeoutMs = 10000;
  const zorv::test::ChildResult run = zorv::test::RunChild({ZORV_CLIENT_EXE, "-frameWnd=424242", "-gameurl=x"}, options);
  ASSERT_TRUE(run.started);
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_THAT(run.err, HasSubstr("not started: the frame window does not exist (-frameWnd=424242)"));
}
#endif

}  // namespace
