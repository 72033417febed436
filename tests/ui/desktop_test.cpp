// Desktop services on the headless backend: global hotkeys, the tray icon
// and its menu, accelerators, activation, and the script file of process runs.
#include <gmock/gmock.h>

#include <atomic>

#include "ui/Accelerator.h"
#include "ui/Input.h"
#include "ui/Dialog.h"
#include "ui/HeadlessFixture.h"
#include "ui/Menu.h"
#include "ui/Tray.h"

using namespace ui;
using ui::headless::ScriptFailure;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

// A main window in the client's manner: tray icon with a right-click menu,
// hotkeys, an F5 accelerator; it logs what reaches it.
class MainWindow : public Dialog {
 public:
  MainWindow() : Dialog({101, WS_POPUP | WS_VISIBLE, 0, {1000, 700}, L"main", {}}) {}
  std::vector<std::string> log;

  bool PreTranslateMessage(Msg& msg) override {
    if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) return false;
    if (TranslateAccelerator(GetSafeHwnd(), {{FVIRTKEY, WORD(VK_F5), 32778}}, msg)) return true;
    return Dialog::PreTranslateMessage(msg);
  }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_TRAYNOTIFY) {
      UINT mouse = LOWORD(std::uintptr_t(lParam));
      if (mouse == WM_LBUTTONDOWN) log.push_back("tray left");
      if (mouse == WM_RBUTTONDOWN) {
        Menu menu{{{0, L"", {{32775, L"隐藏/显示(F10)"}, {32776, L"清理缓存"}, {32777, L"退出"}}}}};
        auto popup = menu.GetSubMenu(0);
        Point cursor = GetCursorPos();
        TrackPopupMenu(*popup, TPM_RIGHTBUTTON, cursor.x - 130, cursor.y, GetSafeHwnd());
      }
      return 0;
    }
    return Dialog::WindowProc(message, wParam, lParam);
  }
  bool OnCommand(WPARAM wParam, LPARAM lParam) override {
    log.push_back("command " + std::to_string(LOWORD(wParam)));
    return Dialog::OnCommand(wParam, lParam) || true;
  }
  void OnOK() override {}
  void OnCancel() override {}
  void OnHotKey(UINT id, UINT modifiers, UINT key) override {
    log.push_back("hotkey " + std::to_string(id) + " " + std::to_string(modifiers) + "+" + std::to_string(key));
  }
  void OnKeyDown(UINT key, UINT, UINT) override { log.push_back("key " + std::to_string(key)); }
};

}  // namespace

using DesktopTest = HeadlessTest;

TEST_F(DesktopTest, HotkeysGoToTheirWindowAndACombinationHasOneHolder) {
  MainWindow main;
  ASSERT_TRUE(main.Create(static_cast<Window*>(nullptr)));
  HWND hwnd = main.GetSafeHwnd();
  hl().TakeHotkeyForOtherProgram(MOD_CONTROL, 'Q');
  EXPECT_TRUE(RegisterHotKey(hwnd, 2, 0, VK_F10));
  EXPECT_FALSE(RegisterHotKey(hwnd, 3, 0, VK_F10));           // taken by id 2
  EXPECT_FALSE(RegisterHotKey(hwnd, 3, MOD_CONTROL, 'Q'));     // taken by another program
  EXPECT_TRUE(RegisterHotKey(hwnd, 3, MOD_CONTROL | MOD_SHIFT, 'A'));
  EXPECT_TRUE(UnregisterHotKey(hwnd, 2));
  EXPECT_FALSE(UnregisterHotKey(hwnd, 2));
  EXPECT_TRUE(RegisterHotKey(hwnd, 2, 0, VK_F10));

  // Pressed keys: a registered combination arrives as WM_HOTKEY, whichever
  // program is in front, and never as a key press.
  hl().ActivateOtherApplication();
  EXPECT_TRUE(hl().KeyPress(VK_F10));
  EXPECT_TRUE(hl().PressHotkey(MOD_CONTROL | MOD_SHIFT, 'A'));
  EXPECT_FALSE(hl().PressHotkey(MOD_CONTROL, 'Q'));
  main.SetForegroundWindow();
  hl().KeyPress(VK_F9);
  EXPECT_THAT(main.log, ElementsAre("hotkey 2 0+121", "hotkey 3 6+65", "key 120"));

  main.DestroyWindow();
  EXPECT_TRUE(hl().Hotkeys().size() == 1 && hl().Hotkeys()[0].hwnd == 0);
}

TEST_F(DesktopTest, TrayIconClicksAndItsMenuComeBackAsMessagesAndCommands) {
  MainWindow main;
  ASSERT_TRUE(main.Create(static_cast<Window*>(nullptr)));
  NotifyIconData nid;
  nid.hWnd = main.GetSafeHwnd();
  nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  nid.uCallbackMessage = WM_TRAYNOTIFY;
  nid.hIcon = LoadIcon(273, 32, 32);
  nid.szTip = std::wstring(200, L'x');
  EXPECT_TRUE(Shell_NotifyIcon(NIM_ADD, nid));
  EXPECT_FALSE(Shell_NotifyIcon(NIM_ADD, nid));
  EXPECT_EQ(hl().TrayIcons().begin()->second.szTip.size(), 127u);

  hl().ExpectMenu(32776).ExpectMenu(0);
  hl().ClickTray(input::MouseButton::Left);
  hl().ClickTray(input::MouseButton::Right);
  hl().ClickTray(input::MouseButton::Right);
  EXPECT_THAT(main.log, ElementsAre("tray left", "command 32776"));
  ASSERT_TRUE(hl().LastMenu());
  Point icon = hl().TrayIconPosition();
  EXPECT_EQ(hl().LastMenu()->position, (Point{icon.x - 130, icon.y}));
  EXPECT_EQ(hl().LastMenu()->owner, main.GetSafeHwnd());

  // A scripted choice the menu does not hold is a failure.
  hl().ExpectMenu(40000);
  EXPECT_THROW(hl().ClickTray(input::MouseButton::Right), ScriptFailure);
  EXPECT_THAT(hl().Failures().back(), HasSubstr("has no item 40000 (items 32775, 32776, 32777)"));
  hl().ClearFailures();

  EXPECT_TRUE(Shell_NotifyIcon(NIM_DELETE, nid));
  EXPECT_FALSE(Shell_NotifyIcon(NIM_DELETE, nid));
  EXPECT_FALSE(hl().ClickTray(input::MouseButton::Left));
}

TEST_F(DesktopTest, KeysPassThePreTranslateChainBeforeDispatch) {
  MainWindow main;
  ASSERT_TRUE(main.Create(static_cast<Window*>(nullptr)));
  main.SetForegroundWindow();
  hl().KeyPress(VK_F5);
  hl().KeyPress(VK_F5, MOD_CONTROL);
  EXPECT_EQ(GetAsyncKeyState(VK_CONTROL), 0);
  hl().KeyPress(VK_RETURN);
  hl().KeyPress(VK_ESCAPE);
  // F5 became command 32778 (the accelerator); Enter and Esc went to the
  // window as keys, never to the dialog's OK and Cancel.
  EXPECT_THAT(main.log, ElementsAre("command 32778", "key 116", "key 13", "key 27"));
}

TEST_F(DesktopTest, TheTopParentIsActiveWhileItOrItsLastActivePopupIsInFront) {
  MainWindow main;
  ASSERT_TRUE(main.Create(static_cast<Window*>(nullptr)));
  SetMainWindow(&main);
  Dialog overlay({274, WS_POPUP, 0, {100, 100}, L"", {}});
  ASSERT_TRUE(overlay.Create(&main));
  EXPECT_EQ(overlay.GetOwner(), &main);
  main.SetForegroundWindow();
  EXPECT_TRUE(main.IsTopParentActive());
  overlay.ShowWindow(SW_SHOW);
  EXPECT_EQ(GetForegroundWindow(), overlay.GetSafeHwnd());
  EXPECT_TRUE(main.IsTopParentActive());
  hl().ActivateOtherApplication();
  EXPECT_FALSE(main.IsTopParentActive());
  overlay.ShowWindow(SW_HIDE);
  main.SetForegroundWindow();
  EXPECT_TRUE(main.IsTopParentActive());
  main.ShowWindow(SW_MINIMIZE);
  EXPECT_FALSE(main.IsTopParentActive());
}

TEST_F(DesktopTest, ScriptFilesDriveAProcessRun) {
  std::vector<std::string> pageEvents;
  hl().RegisterScriptCommand("page", [&](const std::string& rest) { pageEvents.push_back(rest); });
  hl().LoadScript(
      "# close the main window: confirm, then decline the new server\n"
      "dialog 101\n"
      "page loaded http://127.0.0.1/dlq/\n"
      "click 1001\r\n"
      "answer 1 164\n"
      "answer 2\n"
      "advance 200   # a timer tick\n"
      "key 27 0\n");
  EXPECT_THAT(hl().PendingSteps(),
              ElementsAre("dialog 101 (runs)", "action \"page loaded http://127.0.0.1/dlq/\"", "action \"click 1001\"",
                          "dialog 164 (answer 1)", "a dialog (answer 2)", "action \"advance 200\"",
                          "action \"key 27 0\""));
  class Main : public Dialog {
   public:
    Main() : Dialog({101, WS_POPUP | WS_VISIBLE, 0, {1000, 700}, L"", {{1001, {972, 3, 1000, 29}, L"x"}}}) {}
    std::vector<INT_PTR> answers;
   protected:
    bool OnCommand(WPARAM wParam, LPARAM lParam) override {
      if (LOWORD(wParam) != 1001) return Dialog::OnCommand(wParam, lParam);
      for (int i = 0; i < 2; ++i) {
        Dialog box({164, WS_POPUP, 0, {253, 106}, L"", {{IDOK, {45, 61, 127, 95}, L""}, {IDCANCEL, {137, 61, 219, 95}, L""}}});
        answers.push_back(box.DoModal());
      }
      return true;
    }
  } main;
  EXPECT_EQ(main.DoModal(), IDCANCEL);  // Esc at the end
  EXPECT_THAT(pageEvents, ElementsAre("loaded http://127.0.0.1/dlq/"));
  EXPECT_THAT(main.answers, ElementsAre(IDOK, IDCANCEL));
  EXPECT_EQ(hl().Now(), 200u);

  struct Bad {
    const char* text;
    const char* message;
  };
  const Bad bad[] = {
      {"answer\n", "script line 1 (answer): needs a command number"},
      {"advance 10\nmenu x\n", "script line 2 (menu): not a number: x"},
      {"tray middle\n", "script line 1 (tray): needs left or right"},
      {"click 1001 1002\n", "script line 1 (click): unexpected \"1002\""},
  };
  for (const Bad& b : bad) {
    SCOPED_TRACE(b.text);
    try {
      hl().LoadScript(b.text);
      ADD_FAILURE() << "accepted";
    } catch (const ScriptFailure& failure) {
      EXPECT_EQ(std::string(failure.what()), b.message);
    }
    hl().ClearScript();
  }
  // A control the active window does not have, and a word nothing
  // registered, fail when their turn comes.
  Main other;
  hl().LoadScript("dialog 101\nclick 1002\n");
  EXPECT_THROW(other.DoModal(), ScriptFailure);
  EXPECT_THAT(hl().Failures().back(), HasSubstr("click 1002: window \"\" of class #32770 has no such control"));
  hl().ClearFailures();
  hl().LoadScript("browser reload\n");
  EXPECT_THROW(RunMessageLoop(), ScriptFailure);
  EXPECT_THAT(hl().Failures().back(), HasSubstr("script word \"browser\""));
  hl().ClearFailures();
}

TEST_F(DesktopTest, AChildOfAnotherProcessesWindowSpeaksToItThroughTheBackend) {
  ui::headless::ForeignWindow frame;
  frame.className = L"Frame";
  frame.rect = Rect::FromXYWH(100, 100, 800, 600);
  frame.proc = [](UINT message, WPARAM, LPARAM) -> LRESULT { return message == WM_GAMEWND_ATTACH ? 0 : 1; };
  HWND frameHwnd = hl().AddForeignWindow(frame);

  class Embedded : public Dialog {
   public:
    Embedded() : Dialog({328, WS_CHILD | WS_VISIBLE | WS_SYSMENU, 0, {10, 10}, L"", {}}) {}
    std::vector<WPARAM> relayouts;
   protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
      if (message == WM_GAMEWND_RELAYOUT) {
        relayouts.push_back(wParam);
        return 0;
      }
      return Dialog::WindowProc(message, wParam, lParam);
    }
  } embedded;
  ASSERT_TRUE(embedded.Create(frameHwnd));
  Rect client;
  ASSERT_TRUE(GetClientRect(frameHwnd, &client));
  embedded.MoveWindow(client.left, client.top + 30, client.Width(), client.Height() - 30);
  EXPECT_EQ(embedded.GetWindowRect(), Rect::FromXYWH(100, 130, 800, 570));
  EXPECT_TRUE(embedded.IsWindowVisible());

  EXPECT_EQ(SendMessage(frameHwnd, WM_GAMEWND_ATTACH, embedded.GetSafeHwnd(), 0), 0);
  const auto& received = hl().FindForeign(frameHwnd)->received;
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].wParam, embedded.GetSafeHwnd());
  EXPECT_EQ(input::ForeignMessage(embedded.GetSafeHwnd(), WM_GAMEWND_RELAYOUT, 1, 0, true), 0);
  EXPECT_THAT(embedded.relayouts, ElementsAre(1u));

  // A watcher thread sees the frame go away.
  std::atomic<bool> seen{false};
  BeginThread([&] { seen = IsWindow(frameHwnd); });
  hl().WaitForWorkers();
  EXPECT_TRUE(seen);
  hl().RemoveForeignWindow(frameHwnd);
  BeginThread([&] { seen = IsWindow(frameHwnd); });
  hl().WaitForWorkers();
  EXPECT_FALSE(seen);
  EXPECT_FALSE(embedded.IsWindowVisible());
}
