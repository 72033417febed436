// The main game window on the headless desktop: start-up after the login,
// the display states and every way between them, hotkeys, tray, questions,
// relaunch, the overlay, and the frame side of the docking protocol.
#include <gmock/gmock.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/InstallDir.h"
#include "gamewnd/CustomMessageBox.h"
#include "gamewnd/LoginHandOver.h"
#include "gamewnd/MainWindowResources.h"
#include "gamewnd/MyHtmlView.h"
#include "gamewnd/Relaunch.h"
#include "gamewnd/Zedoro_BrixDlg.h"
#include "platform/Process.h"
#include "skin/MenbanDlg.h"
#include "skin/PngImage.h"
#include "support/FileHelpers.h"
#include "support/Sandbox.h"
#include "ui/HeadlessFixture.h"
#include "ui/Input.h"
#include "ui/System.h"
#include "ui/headless/HeadlessBrowser.h"

using namespace ui;
using namespace mainwnd;
using ::testing::ElementsAre;
using ui::headless::HeadlessPage;

namespace {

constexpr wchar_t kGameUrl[] = L"http://127.0.0.1:18080/play?play_gamecode=abc&server=7";
constexpr Rect kMaximised{0, 0, 1920, 1040};
constexpr Rect kFullScreen{0, 0, 1920, 1080};
constexpr Rect kRestored = Rect::FromXYWH(460, 170, 1000, 700);  // centred in the work area
constexpr int kQuestion = CCustomMessageBox::kTemplateId;

struct RelaunchSeen {
  std::wstring program, commandLine;
  bool windowVisible = false;
  size_t trayIcons = 0;
};

// Stands in for an embedded game window of another process: it records what
// the frame sends it.
class DockedWindow : public Window {
 public:
  DockedWindow() { CreateEx({L"GameWnd", L"", WS_POPUP, 0, {}, 0, 0}); }
  std::vector<std::pair<UINT, WPARAM>> got;
  std::vector<WPARAM> Relayouts() const {
    std::vector<WPARAM> out;
    for (auto& [m, w] : got)
      if (m == WM_GAMEWND_RELAYOUT) out.push_back(w);
    return out;
  }
  int Count(UINT message) const {
    int n = 0;
    for (auto& [m, w] : got) n += m == message;
    return n;
  }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_GAMEWND_RELAYOUT || message == WM_GAMEWND_REFRESH || message == WM_CLOSE) {
      got.emplace_back(message, wParam);
      return 0;
    }
    return Window::WindowProc(message, wParam, lParam);
  }
};

class MainWindowTest : public HeadlessTest {
 protected:
  static void SetUpTestSuite() {
    sandbox_ = new zorv::test::Sandbox();
    const std::string res = zorv::test::Narrow(GetInstallDir()) + "res";
    std::filesystem::create_directories(res);
    zorv::test::WriteFile(res + "/systemset.ini", "[Setting]\r\nscreentoggle=F10\r\nfullscreen=F11\r\n");
  }
  static void TearDownTestSuite() { delete sandbox_; }

  void SetUp() override {
    HeadlessTest::SetUp();
    headless::InstallHeadlessBrowser();
    SetLoginWindowRunner([this] {
      ++logins;
      // The window is still hidden while the player logs in.
      loginSawHiddenWindow = window_ && !window_->IsWindowVisible();
      return std::wstring(kGameUrl);
    });
    SetRelaunchStarter([this](const std::wstring& program, const std::wstring& commandLine) {
      relaunches.push_back({program, commandLine, window_ && window_->IsWindowVisible(), hl().TrayIcons().size()});
      return true;
    });
  }
  void TearDown() override {
    SetRelaunchStarter({});
    SetLoginWindowRunner({});
    HeadlessTest::TearDown();
  }

  // Runs the main window; body runs once it is up. A window the body did not
  // end is ended afterwards.
  void Run(const std::function<void(CZedoro_BrixDlg&)>& body) {
    CZedoro_BrixDlg dlg;
    window_ = &dlg;
    SetMainWindow(&dlg);
    hl().ExpectDialog(
        CZedoro_BrixDlg::kTemplateId,
        [&](Dialog&) {
          body(dlg);
          endedByItself = !dlg.IsModalRunning();
          if (!endedByItself) dlg.EndDialog(0);
        },
        "the main window");
    result = dlg.DoModal();
    SetMainWindow(nullptr);
    window_ = nullptr;
  }

  void Command(CZedoro_BrixDlg& d, int id) { d.SendMessage(WM_COMMAND, MAKEWPARAM(WORD(id), BN_CLICKED), 0); }
  void Hotkey(UINT vk) { ASSERT_TRUE(hl().PressHotkey(0, vk)) << "hotkey " << vk; }
  // A double click on the strip, left of every button.
  void DoubleClickStrip(CZedoro_BrixDlg& d) {
    Rect r = d.GetWindowRect();
    hl().DoubleClickAt({r.left + 100, r.top + 10});
  }
  HeadlessPage* Page(CZedoro_BrixDlg& d) { return headless::PageOf(*d.GetHtmlView()); }
  // A question box, checked and answered with the button of that id.
  void ExpectQuestion(const std::wstring& caption, const std::wstring& text, int answer,
                      std::function<void()> whileShown = {}) {
    hl().ExpectDialog(kQuestion, [=, this](Dialog& box) {
      auto& question = static_cast<CCustomMessageBox&>(box);
      EXPECT_EQ(question.GetCaption(), caption);
      EXPECT_EQ(question.GetMsg(), text);
      if (whileShown) whileShown();
      hl().Click(*box.GetDlgItem(answer));
    });
  }
  void ExpectExitQuestion(int answer, std::function<void()> whileShown = {}) {
    ExpectQuestion(L"关闭提示", L"是否退出Veltan登录器？", answer, std::move(whileShown));
  }

  int logins = 0;
  bool loginSawHiddenWindow = false;
  std::vector<RelaunchSeen> relaunches;
  bool endedByItself = false;
  INT_PTR result = -2;

 private:
  static zorv::test::Sandbox* sandbox_;
  CZedoro_BrixDlg* window_ = nullptr;
};

zorv::test::Sandbox* MainWindowTest::sandbox_ = nullptr;

const int kNineButtons[] = {kBtnClose, kBtnMax, kBtnRestore, kBtnMin, kBtnChangeServer,
                            kBtnBossKey, kBtnFullScreen, kBtnRefresh, kBtnClearCache};

bool Shown(CZedoro_BrixDlg& d, int id) { return d.GetDlgItem(id)->IsWindowVisible(); }

// The display state, named only when everything that belongs to it holds:
// flags, rectangle, buttons and the page view's place.
std::string StateOf(CZedoro_BrixDlg& d) {
  if (!d.IsWindowVisible()) return "hidden";
  if (d.IsIconic()) return "minimised";
  const Rect r = d.GetWindowRect();
  const Rect view = d.GetHtmlView()->GetWindowRect();
  if (d.IsFullScreen()) {
    bool anyButton = false;
    for (int id : kNineButtons) anyButton |= Shown(d, id);
    return r == kFullScreen && d.IsZoomed() && view == r && !anyButton ? "fullscreen" : "broken fullscreen";
  }
  bool stripButtons = true;
  for (int id : kNineButtons)
    if (id != kBtnMax && id != kBtnRestore) stripButtons &= Shown(d, id);
  const bool belowStrip = view == Rect{r.left, r.top + 30, r.right, r.bottom};
  if (d.IsMaxed()) {
    bool ok = r == kMaximised && d.IsZoomed() && Shown(d, kBtnRestore) && !Shown(d, kBtnMax);
    return ok && stripButtons && belowStrip ? "maximised" : "broken maximised";
  }
  bool ok = r.Width() == 1000 && r.Height() == 700 && !d.IsZoomed() && Shown(d, kBtnMax) && !Shown(d, kBtnRestore);
  return ok && stripButtons && belowStrip ? "restored" : "broken restored";
}

TEST_F(MainWindowTest, OpensMaximisedAfterTheLoginOnTheHandedOverAddress) {
  Run([&](CZedoro_BrixDlg& d) {
    EXPECT_EQ(StateOf(d), "maximised");
    EXPECT_EQ(d.GetRestoredRect(), kRestored);
    EXPECT_EQ(d.GetWindowText(), L"Veltan登录器");
    EXPECT_FALSE(d.GetStyle() & WS_CAPTION);
    EXPECT_TRUE(d.GetStyle() & WS_SYSMENU);
    EXPECT_TRUE(d.GetStyle() & WS_MINIMIZEBOX);
    EXPECT_TRUE(d.IsTopParentActive());
    EXPECT_EQ(d.GetMinByButton(), 0);

    // The page view goes exactly where the login sent the player, once.
    EXPECT_EQ(d.GetGameUrl(), kGameUrl);
    EXPECT_THAT(Page(d)->Navigations(), ElementsAre(kGameUrl));
    EXPECT_EQ(d.GetHtmlView()->GetWindowRect(), (Rect{0, 30, 1920, 1040}));
    EXPECT_EQ(d.GetHtmlView()->GetDlgCtrlID(), 10000);

    auto icons = hl().TrayIcons();
    ASSERT_EQ(icons.size(), 1u);
    const NotifyIconData& icon = icons.begin()->second;
    EXPECT_EQ(icon.hWnd, d.GetSafeHwnd());
    EXPECT_EQ(icon.uID, 0u);
    EXPECT_EQ(icon.uFlags, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    EXPECT_EQ(icon.uCallbackMessage, WM_TRAYNOTIFY);
    EXPECT_EQ(icon.hIcon.resourceId, kTrayIcon);
    EXPECT_EQ(icon.szTip, L"Veltan登录器");

    struct Key {
      int id;
      UINT vk;
    };
    for (Key k : {Key{1, VK_F5}, Key{2, VK_F10}, Key{3, VK_F11}}) {
      auto entry = hl().FindHotkey(d.GetSafeHwnd(), k.id);
      ASSERT_TRUE(entry) << "hotkey " << k.id;
      EXPECT_EQ(entry->virtualKey, k.vk);
      EXPECT_EQ(entry->modifiers, 0u);
    }
    CMenbanDlg* mask = d.GetMaskDlg();
    ASSERT_NE(mask, nullptr);
    EXPECT_FALSE(mask->IsWindowVisible());
  });
  EXPECT_EQ(logins, 1);
  EXPECT_TRUE(loginSawHiddenWindow);
  // The destructor took the tray icon away.
  EXPECT_TRUE(hl().TrayIcons().empty());
}

TEST_F(MainWindowTest, ButtonsSitFromTheRightEdgeWithTheirLooksAndTips) {
  struct Place {
    int id, fromRight, width, height;
    bool tip;
  };
  const Place places[] = {
      {kBtnClose, 28, 28, 26, false},         {kBtnMax, 57, 28, 26, false},         {kBtnRestore, 57, 28, 26, false},
      {kBtnMin, 86, 28, 26, false},           {kBtnFullScreen, 192, 85, 24, true},  {kBtnBossKey, 294, 97, 24, true},
      {kBtnClearCache, 384, 85, 24, true},    {kBtnRefresh, 458, 78, 24, true},     {kBtnChangeServer, 522, 59, 24, true},
  };
  Run([&](CZedoro_BrixDlg& d) {
    for (int right : {1920, 1000}) {
      if (right == 1000) Command(d, kBtnRestore);
      for (const Place& p : places) {
        auto* button = static_cast<CTouchButton*>(d.GetDlgItem(p.id));
        Rect r = button->GetWindowRect();
        d.ScreenToClient(&r);
        EXPECT_EQ(r, Rect::FromXYWH(right - p.fromRight, 3, p.width, p.height)) << p.id << " at width " << right;
        EXPECT_EQ(button->GetToolTip() != nullptr, p.tip) << p.id;
      }
    }
    // The two template buttons that take no part have no place.
    EXPECT_TRUE(d.GetDlgItem(kBtnUnused1011)->GetWindowRect().IsEmpty());
    EXPECT_TRUE(d.GetDlgItem(kBtnUnused1017)->GetWindowRect().IsEmpty());
    // A real click on the restore button's place reaches its command.
    Command(d, kBtnMax);
    ASSERT_TRUE(hl().Click(*d.GetDlgItem(kBtnRestore)));
    EXPECT_EQ(StateOf(d), "restored");
  });
}

enum class Ev {
  Cmd2, Max, Restore, Min, FullScreen, BossButton, DoubleClick, F10, F11, TaskbarRestore, TaskbarMinimise,
  TrayToggle, TrayLeft, OtherApp,
};

TEST_F(MainWindowTest, DisplayStateTransitions) {
  auto act = [this](CZedoro_BrixDlg& d, Ev e) {
    switch (e) {
      case Ev::Cmd2: Command(d, IDCANCEL); break;
      case Ev::Max: Command(d, kBtnMax); break;
      case Ev::Restore: Command(d, kBtnRestore); break;
      case Ev::Min: Command(d, kBtnMin); break;
      case Ev::FullScreen: Command(d, kBtnFullScreen); break;
      case Ev::BossButton: Command(d, kBtnBossKey); break;
      case Ev::DoubleClick: DoubleClickStrip(d); break;
      case Ev::F10: Hotkey(VK_F10); break;
      case Ev::F11: Hotkey(VK_F11); break;
      case Ev::TaskbarRestore:
        d.SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
        hl().Advance(CZedoro_BrixDlg::kRefitDelayMs);
        break;
      case Ev::TaskbarMinimise: d.SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0); break;
      case Ev::TrayToggle:
        hl().ExpectMenu(kCmdTrayToggle);
        hl().ClickTray(input::MouseButton::Right);
        PumpMessages();
        break;
      case Ev::TrayLeft: hl().ClickTray(input::MouseButton::Left); break;
      case Ev::OtherApp: hl().ActivateOtherApplication(); break;
    }
  };
  struct Row {
    const char* name;
    std::vector<Ev> setup;
    Ev event;
    const char* expected;
    int minByButton;  // -1: not checked
    bool inFront;
  };
  const Row rows[] = {
      {"maximised, restore button", {}, Ev::Restore, "restored", 0, false},
      {"maximised, double click", {}, Ev::DoubleClick, "restored", 0, false},
      {"restored, maximise button", {Ev::Restore}, Ev::Max, "maximised", 0, false},
      {"restored, double click", {Ev::Restore}, Ev::DoubleClick, "maximised", 0, false},
      {"maximised, fullscreen button", {}, Ev::FullScreen, "fullscreen", 0, false},
      {"restored, fullscreen button", {Ev::Restore}, Ev::FullScreen, "fullscreen", 0, false},
      {"maximised, hotkey 3", {}, Ev::F11, "fullscreen", -1, false},
      {"restored, hotkey 3", {Ev::Restore}, Ev::F11, "fullscreen", -1, false},
      {"fullscreen from restored, hotkey 3", {Ev::Restore, Ev::FullScreen}, Ev::F11, "maximised", -1, false},
      {"fullscreen from restored, command 2", {Ev::Restore, Ev::FullScreen}, Ev::Cmd2, "maximised", -1, false},
      {"maximised, minimise button", {}, Ev::Min, "minimised", 1, false},
      {"restored, minimise button", {Ev::Restore}, Ev::Min, "minimised", 1, false},
      {"minimised maximised, taskbar restore", {Ev::Min}, Ev::TaskbarRestore, "maximised", 1, false},
      {"minimised restored, taskbar restore", {Ev::Restore, Ev::Min}, Ev::TaskbarRestore, "restored", 1, false},
      {"minimised by button, hotkey 2", {Ev::Min, Ev::OtherApp}, Ev::F10, "maximised", 0, true},
      {"minimised restored by button, hotkey 2", {Ev::Restore, Ev::Min, Ev::OtherApp}, Ev::F10, "restored", 0, true},
      {"minimised by the taskbar, hotkey 2 hides", {Ev::TaskbarMinimise}, Ev::F10, "hidden", 0, false},
      {"maximised, boss-key button", {}, Ev::BossButton, "hidden", -1, false},
      {"fullscreen, hotkey 2", {Ev::FullScreen}, Ev::F10, "hidden", -1, false},
      {"restored, tray hide/show", {Ev::Restore}, Ev::TrayToggle, "hidden", -1, false},
      {"hidden restored, hotkey 2", {Ev::Restore, Ev::BossButton, Ev::OtherApp}, Ev::F10, "restored", -1, false},
      {"hidden fullscreen, tray hide/show", {Ev::FullScreen, Ev::BossButton}, Ev::TrayToggle, "fullscreen", -1,
       false},
      {"hidden maximised, tray left click", {Ev::BossButton, Ev::OtherApp}, Ev::TrayLeft, "maximised", -1, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Run([&](CZedoro_BrixDlg& d) {
      for (Ev e : row.setup) act(d, e);
      act(d, row.event);
      EXPECT_EQ(StateOf(d), row.expected);
      if (row.minByButton >= 0) {
        EXPECT_EQ(d.GetMinByButton(), row.minByButton);
      }
      if (row.inFront) {
        EXPECT_TRUE(d.IsTopParentActive());
      }
    });
  }
}

TEST_F(MainWindowTest, RestoreFromTheTaskbarRefitsAfterTenMilliseconds) {
  Run([&](CZedoro_BrixDlg& d) {
    Command(d, kBtnMin);
    d.SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_EQ(hl().TimerPeriod(d.GetSafeHwnd(), CZedoro_BrixDlg::kRefitTimer), 10u);
    hl().Advance(10);
    EXPECT_FALSE(hl().HasTimer(d.GetSafeHwnd(), CZedoro_BrixDlg::kRefitTimer));
    EXPECT_EQ(StateOf(d), "maximised");
    // A restored window needs no re-fit.
    Command(d, kBtnRestore);
    Command(d, kBtnMin);
    d.SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(hl().HasTimer(d.GetSafeHwnd(), CZedoro_BrixDlg::kRefitTimer));
  });
}

TEST_F(MainWindowTest, DraggingTheStripMovesOnlyARestoredWindow) {
  Run([&](CZedoro_BrixDlg& d) {
    hl().Drag({100, 10}, {160, 60});
    EXPECT_EQ(d.GetWindowRect(), kMaximised);
    Command(d, kBtnRestore);
    hl().Drag({kRestored.left + 100, kRestored.top + 10}, {kRestored.left + 160, kRestored.top + 60});
    EXPECT_EQ(d.GetWindowRect(), kRestored.Offset(60, 50));
    // The moved rectangle is the one the next restore comes back to.
    DoubleClickStrip(d);
    DoubleClickStrip(d);
    EXPECT_EQ(d.GetWindowRect(), kRestored.Offset(60, 50));
  });
}

TEST_F(MainWindowTest, HotkeysOneAndThreeOnlyInTheForegroundTwoFromAnywhere) {
  Run([&](CZedoro_BrixDlg& d) {
    DockedWindow docked;
    d.SendMessage(WM_GAMEWND_ATTACH, docked.GetSafeHwnd(), 0);
    HeadlessPage* page = Page(d);

    hl().ActivateOtherApplication();
    Hotkey(VK_F5);
    Hotkey(VK_F11);
    PumpMessages();
    EXPECT_EQ(page->RefreshCount(), 0);
    EXPECT_EQ(docked.Count(WM_GAMEWND_REFRESH), 0);
    EXPECT_EQ(StateOf(d), "maximised");
    Hotkey(VK_F10);
    EXPECT_EQ(StateOf(d), "hidden");
    Hotkey(VK_F10);
    EXPECT_EQ(StateOf(d), "maximised");

    ASSERT_TRUE(d.IsTopParentActive());
    Hotkey(VK_F5);
    PumpMessages();
    EXPECT_EQ(page->RefreshCount(), 1);
    EXPECT_EQ(docked.Count(WM_GAMEWND_REFRESH), 1);
    Hotkey(VK_F11);
    EXPECT_EQ(StateOf(d), "fullscreen");
  });
}

TEST_F(MainWindowTest, EnterAndEscNeverEndTheWindow) {
  Run([&](CZedoro_BrixDlg& d) {
    HeadlessPage* page = Page(d);
    page->GetBrowser().SetFocus();
    Command(d, kBtnFullScreen);
    hl().KeyPress(VK_RETURN);
    hl().KeyPress(VK_ESCAPE);
    // Both keys reached the page, and Esc did not even leave fullscreen.
    EXPECT_TRUE(d.IsModalRunning());
    EXPECT_EQ(StateOf(d), "fullscreen");
    std::vector<WPARAM> keys;
    for (const Msg& m : page->InputSeen())
      if (m.message == WM_KEYDOWN) keys.push_back(m.wParam);
    EXPECT_THAT(keys, ElementsAre(VK_RETURN, VK_ESCAPE));

    // Aimed at the window itself, too.
    d.SetFocus();
    hl().KeyPress(VK_RETURN);
    hl().KeyPress(VK_ESCAPE);
    EXPECT_TRUE(d.IsModalRunning());
    // F5 as a key is the accelerator's command, which does nothing.
    Msg f5{d.GetSafeHwnd(), WM_KEYDOWN, VK_F5, 0, {}};
    EXPECT_TRUE(d.PreTranslateMessage(f5));
    Command(d, kCmdAccelF5);
    EXPECT_EQ(page->RefreshCount(), 0);
    EXPECT_EQ(StateOf(d), "fullscreen");
  });
  EXPECT_FALSE(endedByItself);
}

TEST_F(MainWindowTest, ExitQuestionOnAltF4AndTheTrayMenu) {
  // Each way to ask scripts the question (answered with answer) and asks.
  using Ask = std::function<void(CZedoro_BrixDlg&, int answer)>;
  struct Case {
    const char* name;
    bool fullScreen;
    Ask ask;
    int answer;
    bool ends;
    const char* stateAfter;
  };
  Ask altF4 = [this](CZedoro_BrixDlg&, int answer) {
    ExpectExitQuestion(answer);
    hl().KeyPress(VK_F4, MOD_ALT);
  };
  Ask desktopClose = [this](CZedoro_BrixDlg& d, int answer) {
    ExpectExitQuestion(answer);
    input::CloseRequested(d.GetSafeHwnd());
    PumpMessages();
  };
  Ask trayExit = [this](CZedoro_BrixDlg&, int answer) {
    hl().ExpectMenu(kCmdTrayExit);
    ExpectExitQuestion(answer);
    hl().ClickTray(input::MouseButton::Right);
    PumpMessages();
  };
  const Case cases[] = {
      {"Alt+F4 cancelled", false, altF4, IDCANCEL, false, "maximised"},
      {"Alt+F4 cancelled in fullscreen leaves fullscreen", true, altF4, IDCANCEL, false, "maximised"},
      {"desktop close cancelled in fullscreen", true, desktopClose, IDCANCEL, false, "maximised"},
      {"Alt+F4 confirmed", true, altF4, IDOK, true, nullptr},
      {"tray exit cancelled", true, trayExit, IDCANCEL, false, "fullscreen"},
      {"tray exit confirmed", false, trayExit, IDOK, true, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DockedWindow docked;
    Run([&](CZedoro_BrixDlg& d) {
      d.SendMessage(WM_GAMEWND_ATTACH, docked.GetSafeHwnd(), 0);
      if (c.fullScreen) Command(d, kBtnFullScreen);
      c.ask(d, c.answer);
      EXPECT_EQ(d.IsTrayIconAdded(), !c.ends);
      EXPECT_EQ(hl().TrayIcons().size(), c.ends ? 0u : 1u);
      if (c.stateAfter) {
        EXPECT_EQ(StateOf(d), c.stateAfter);
      }
    });
    EXPECT_EQ(endedByItself, c.ends);
    EXPECT_EQ(docked.Count(WM_CLOSE), c.ends ? 1 : 0);
    if (c.ends) {
      EXPECT_EQ(result, 0);
    }
    EXPECT_TRUE(relaunches.empty());
  }
}

TEST_F(MainWindowTest, TrayMenuOpensLeftOfThePointerWithItsThreeItems) {
  Run([&](CZedoro_BrixDlg& d) {
    hl().ExpectMenu(0);
    hl().ClickTray(input::MouseButton::Right);
    const auto& shown = hl().LastMenu();
    ASSERT_TRUE(shown);
    const Point at = hl().TrayIconPosition();
    EXPECT_EQ(shown->position, (Point{at.x - 130, at.y}));
    EXPECT_EQ(shown->owner, d.GetSafeHwnd());
    ASSERT_EQ(shown->menu.items.size(), 3u);
    EXPECT_EQ(shown->menu.items[0].id, UINT(kCmdTrayToggle));
    EXPECT_EQ(shown->menu.items[0].text, L"隐藏/显示(F10)");
    EXPECT_EQ(shown->menu.items[1].text, L"清理缓存");
    EXPECT_EQ(shown->menu.items[2].text, L"退出");
  });
}

TEST_F(MainWindowTest, CloseButtonAsksTwiceAndRelaunchesOnlyOnTheSecondYes) {
  struct Case {
    const char* name;
    std::vector<int> answers;
    size_t relaunched;
    bool ends;
    int closesToDocked;
  };
  const Case cases[] = {
      {"cancel", {IDCANCEL}, 0, false, 0},
      {"OK then OK", {IDOK, IDOK}, 1, true, 2},
      {"OK then Cancel", {IDOK, IDCANCEL}, 0, true, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    relaunches.clear();
    DockedWindow docked;
    Run([&](CZedoro_BrixDlg& d) {
      d.SendMessage(WM_GAMEWND_ATTACH, docked.GetSafeHwnd(), 0);
      ExpectExitQuestion(c.answers[0]);
      if (c.answers.size() > 1) {
        ExpectQuestion(L"选服", L"是否退出当前区服，重新选择新区服？", c.answers[1], [&] {
          // The tray icon is gone before the second question shows.
          EXPECT_TRUE(hl().TrayIcons().empty());
          EXPECT_EQ(docked.Count(WM_CLOSE), 1);
        });
      }
      ASSERT_TRUE(hl().Click(*d.GetDlgItem(kBtnClose)));
      if (!c.ends) {
        EXPECT_EQ(StateOf(d), "maximised");
      }
    });
    EXPECT_EQ(endedByItself, c.ends);
    ASSERT_EQ(relaunches.size(), c.relaunched);
    if (c.relaunched) {
      EXPECT_EQ(relaunches[0].program, platform::GetModulePath());
      EXPECT_EQ(relaunches[0].commandLine, L"");
      EXPECT_FALSE(relaunches[0].windowVisible);
    }
    EXPECT_EQ(docked.Count(WM_CLOSE), c.closesToDocked);
  }
}

TEST_F(MainWindowTest, ChangeServerHidesAtOnceAndRelaunches) {
  for (int answer : {IDCANCEL, IDOK}) {
    SCOPED_TRACE(answer);
    relaunches.clear();
    DockedWindow docked;
    Run([&](CZedoro_BrixDlg& d) {
      d.SendMessage(WM_GAMEWND_ATTACH, docked.GetSafeHwnd(), 0);
      ExpectQuestion(L"选服", L"您是否退出当前服务器，重新选择新服务器？", answer);
      ASSERT_TRUE(hl().Click(*d.GetDlgItem(kBtnChangeServer)));
    });
    const bool yes = answer == IDOK;
    EXPECT_EQ(endedByItself, yes);
    ASSERT_EQ(relaunches.size(), yes ? 1u : 0u);
    if (yes) {
      EXPECT_EQ(relaunches[0].commandLine, L"");
      EXPECT_FALSE(relaunches[0].windowVisible);
      // The tray icon stays until the window object goes.
      EXPECT_EQ(relaunches[0].trayIcons, 1u);
      EXPECT_TRUE(hl().TrayIcons().empty());
    }
    EXPECT_EQ(docked.Count(WM_CLOSE), yes ? 1 : 0);
  }
}

TEST_F(MainWindowTest, DockedWindowFollowsEveryRelayoutRefreshAndClose) {
  DockedWindow first, docked;
  Run([&](CZedoro_BrixDlg& d) {
    d.SendMessage(WM_GAMEWND_ATTACH, first.GetSafeHwnd(), 0);
    // A later attach replaces the earlier window.
    EXPECT_EQ(d.SendMessage(WM_GAMEWND_ATTACH, docked.GetSafeHwnd(), 0), 0);
    EXPECT_EQ(d.GetGameWnd(), docked.GetSafeHwnd());

    auto since = [&](size_t from) {
      auto all = docked.Relayouts();
      return std::vector<WPARAM>(all.begin() + long(from), all.end());
    };
    struct Step {
      const char* name;
      std::function<void()> act;
      WPARAM expected;  // every relayout the step sends carries this
    };
    const Step steps[] = {
        {"restore button", [&] { Command(d, kBtnRestore); }, 0},
        {"double click", [&] { DoubleClickStrip(d); }, 0},
        {"maximise button via restore", [&] { Command(d, kBtnRestore); Command(d, kBtnMax); }, 0},
        {"fit after a restore from minimised",
         [&] {
           Command(d, kBtnMin);
           d.SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
           hl().Advance(10);
         },
         0},
        {"enter fullscreen", [&] { Command(d, kBtnFullScreen); }, 1},
    };
    for (const Step& s : steps) {
      size_t before = docked.Relayouts().size();
      s.act();
      auto sent = since(before);
      EXPECT_FALSE(sent.empty()) << s.name;
      for (WPARAM w : sent) EXPECT_EQ(w, s.expected) << s.name;
    }
    // Leaving fullscreen ends with the strip back.
    Hotkey(VK_F11);
    EXPECT_EQ(docked.Relayouts().back(), 0u);

    Command(d, kBtnRefresh);
    Hotkey(VK_F5);
    PumpMessages();
    EXPECT_EQ(docked.Count(WM_GAMEWND_REFRESH), 2);
    EXPECT_EQ(Page(d)->RefreshCount(), 2);

    ExpectExitQuestion(IDOK);
    Command(d, kCmdTrayExit);
  });
  EXPECT_TRUE(first.got.empty());
  ASSERT_FALSE(docked.got.empty());
  EXPECT_EQ(docked.got.back(), std::make_pair(WM_CLOSE, WPARAM(0)));
  EXPECT_EQ(docked.Count(WM_CLOSE), 1);
}

TEST_F(MainWindowTest, ClearingTheCacheCoversTheWindowUntilTheWorkerReports) {
  Run([&](CZedoro_BrixDlg& d) {
    for (int command : {kBtnClearCache, kCmdTrayClearCache}) {
      if (command == kCmdTrayClearCache) Command(d, kBtnRestore);
      CMenbanDlg* mask = d.GetMaskDlg();
      Command(d, command);
      EXPECT_TRUE(mask->IsWindowVisible()) << command;
      EXPECT_EQ(mask->GetWindowRect(), d.GetWindowRect()) << command;
      EXPECT_EQ(hl().TimerPeriod(mask->GetSafeHwnd(), CMenbanDlg::kAnimationTimer), 200u);
      hl().WaitForWorkers();
      EXPECT_FALSE(mask->IsWindowVisible()) << command;
      EXPECT_FALSE(hl().HasTimer(mask->GetSafeHwnd(), CMenbanDlg::kAnimationTimer));
    }
  });
}

// Compares a strip pixel of the window with the picture's pixel.
void ExpectSamePixel(const Surface& window, int x, int y, const Surface& picture, int px, int py) {
  const Rgba a = window.GetPixel(x, y), b = picture.GetPixel(px, py);
  EXPECT_TRUE(a == b) << "at " << x << "," << y;
}

TEST_F(MainWindowTest, TitleStripIsDrawnOnlyOutsideFullscreen) {
  auto left = LoadPngImage(kTitleLeftPng), mid = LoadPngImage(kTitleMidPng), right = LoadPngImage(kTitleRightPng);
  ASSERT_TRUE(left && mid && right);
  Run([&](CZedoro_BrixDlg& d) {
    for (bool restored : {false, true}) {
      if (restored) Command(d, kBtnRestore);
      PumpMessages();
      d.UpdateWindow();
      const Surface& pixels = d.GetBacking();
      const int width = d.GetClientRect().Width();
      for (int y : {0, 14, 29}) {
        ExpectSamePixel(pixels, 5, y, *left, 5, y);
        ExpectSamePixel(pixels, 202, y, *left, 202, y);
        ExpectSamePixel(pixels, 400, y, *mid, 0, y);
        ExpectSamePixel(pixels, width - 92, y, *right, 0, y);
        ExpectSamePixel(pixels, width - 1, y, *right, 91, y);
      }
    }
    // In fullscreen the background erase draws nothing and still reports done.
    Command(d, kBtnFullScreen);
    Surface blank(1920, 30);
    EXPECT_EQ(d.SendMessage(WM_ERASEBKGND, WPARAM(&blank), 0), 1);
    EXPECT_EQ(blank.GetPixel(5, 5).a, 0);
    Hotkey(VK_F11);
    EXPECT_EQ(d.SendMessage(WM_ERASEBKGND, WPARAM(&blank), 0), 1);
    ExpectSamePixel(blank, 5, 5, *left, 5, 5);
  });
}

}  // namespace
