// Windows on the headless desktop: show states by system command, closing,
// dragging by the caption, buttons, painting and layered windows.
#include <gmock/gmock.h>

#include <functional>

#include "ui/HeadlessFixture.h"
#include "ui/Button.h"
#include "ui/Dialog.h"
#include "ui/Render.h"
#include "ui/Surface.h"
#include "ui/ToolTip.h"
#include "ui/Cursor.h"
#include "ui/Window.h"

using namespace ui;
using ::testing::ElementsAre;

namespace {

// A top-level window that records the messages it receives.
class Probe : public Window {
 public:
  bool Make(Rect rect, DWORD style = WS_POPUP | WS_VISIBLE, DWORD exStyle = 0, HWND owner = 0) {
    return CreateEx({L"Probe", L"probe", style, exStyle, rect, owner, 0});
  }
  std::vector<UINT> Seen(UINT message) const {
    std::vector<UINT> out;
    for (const Msg& m : log)
      if (m.message == message) out.push_back(UINT(m.wParam));
    return out;
  }
  std::vector<Msg> log;
  std::function<LRESULT()> hitTest;
  std::function<void(Surface&)> paint;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    log.push_back({GetSafeHwnd(), message, wParam, lParam, {}});
    return Window::WindowProc(message, wParam, lParam);
  }
  LRESULT OnNcHitTest(Point screen) override { return hitTest ? hitTest() : Window::OnNcHitTest(screen); }
  void OnPaint(Surface& surface) override {
    if (paint) paint(surface);
  }
};

const Rect kNormal = Rect::FromXYWH(460, 170, 1000, 700);
const Rect kWorkArea{0, 0, 1920, 1040};
const Rect kScreen{0, 0, 1920, 1080};

}  // namespace

using WindowTest = HeadlessTest;

TEST_F(WindowTest, SystemCommandsMoveBetweenShowStates) {
  struct Case {
    const char* name;
    std::vector<WPARAM> commands;
    ShowState state;
    Rect rect;
    WPARAM lastSizeType;
  };
  const Case cases[] = {
      {"maximise fills the work area", {SC_MAXIMIZE}, ShowState::Maximized, kWorkArea, SIZE_MAXIMIZED},
      {"restore after maximise", {SC_MAXIMIZE, SC_RESTORE}, ShowState::Normal, kNormal, SIZE_RESTORED},
      {"minimise", {SC_MINIMIZE}, ShowState::Minimized, kNormal, SIZE_MINIMIZED},
      {"restore after minimise", {SC_MINIMIZE, SC_RESTORE}, ShowState::Normal, kNormal, SIZE_RESTORED},
      {"a minimised maximised window comes back maximised", {SC_MAXIMIZE, SC_MINIMIZE, SC_RESTORE},
       ShowState::Maximized, kWorkArea, SIZE_MAXIMIZED},
      {"restore of a normal window changes nothing", {SC_RESTORE}, ShowState::Normal, kNormal, 0xFFFF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Probe w;
    ASSERT_TRUE(w.Make(kNormal));
    w.log.clear();
    for (WPARAM command : c.commands) w.SendMessage(WM_SYSCOMMAND, command, 0);
    EXPECT_EQ(w.GetShowState(), c.state);
    EXPECT_EQ(w.GetWindowRect(), c.rect);
    EXPECT_EQ(w.IsZoomed(), c.state == ShowState::Maximized);
    EXPECT_EQ(w.IsIconic(), c.state == ShowState::Minimized);
    EXPECT_TRUE(w.IsWindowVisible());
    auto sizes = w.Seen(WM_SIZE);
    EXPECT_EQ(sizes.empty() ? 0xFFFF : sizes.back(), c.lastSizeType);
  }
}

TEST_F(WindowTest, MaximisedWindowMovedOverTheWholeScreenIsFullscreenUntilMovedOff) {
  Probe w;
  ASSERT_TRUE(w.Make(kNormal));
  w.SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  w.SetWindowPos(0, 0, 0, 1920, 1080, SWP_NOZORDER);
  EXPECT_EQ(w.GetShowState(), ShowState::Fullscreen);
  EXPECT_TRUE(w.IsZoomed());
  w.SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);  // zoomed already: no change
  EXPECT_EQ(w.GetWindowRect(), kScreen);
  // Fitting it to the screen less the taskbar ends fullscreen; restoring
  // still returns to the rectangle it had before maximising.
  Rect taskbar;
  ASSERT_TRUE(GetWindowRect(FindWindow(L"Shell_TrayWnd", L""), &taskbar));
  EXPECT_EQ(taskbar, (Rect{0, 1040, 1920, 1080}));
  w.MoveWindow(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) - taskbar.Height(), false);
  EXPECT_EQ(w.GetShowState(), ShowState::Maximized);
  w.SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_EQ(w.GetWindowRect(), kNormal);
  // Moving a normal window never makes it fullscreen.
  w.MoveWindow(kScreen);
  EXPECT_EQ(w.GetShowState(), ShowState::Normal);
}

TEST_F(WindowTest, HidingKeepsTheShowStateAndOwnedPopupsFollowAMinimisedOwner) {
  Probe owner, popup;
  ASSERT_TRUE(owner.Make(kNormal));
  ASSERT_TRUE(popup.Make(Rect::FromXYWH(500, 200, 100, 100), WS_POPUP | WS_VISIBLE, 0, owner.GetSafeHwnd()));
  owner.SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  owner.ShowWindow(SW_HIDE);
  EXPECT_FALSE(owner.IsWindowVisible());
  owner.ShowWindow(SW_SHOW);
  EXPECT_EQ(owner.GetShowState(), ShowState::Maximized);

  owner.ShowWindow(SW_MINIMIZE);
  EXPECT_FALSE(popup.IsWindowVisible());
  owner.ShowWindow(SW_RESTORE);
  EXPECT_TRUE(popup.IsWindowVisible());
  EXPECT_EQ(popup.GetWindowRect(), Rect::FromXYWH(500, 200, 100, 100));
}

TEST_F(WindowTest, CloseDestroysAPlainWindowAndCancelsADialog) {
  Probe plain;
  ASSERT_TRUE(plain.Make(kNormal));
  HWND hwnd = plain.GetSafeHwnd();
  plain.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(IsWindow(hwnd));

  struct Case {
    const char* name;
    std::function<void(Dialog&)> act;
    INT_PTR result;
  };
  const Case cases[] = {
      {"SC_CLOSE", [](Dialog& d) { d.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL},
      {"WM_CLOSE", [](Dialog& d) { d.SendMessage(WM_CLOSE); }, IDCANCEL},
      {"Esc", [this](Dialog&) { hl().KeyPress(VK_ESCAPE); }, IDCANCEL},
      {"Enter", [this](Dialog&) { hl().KeyPress(VK_RETURN); }, IDOK},
      {"Alt+F4", [this](Dialog&) { hl().KeyPress(VK_F4, MOD_ALT); }, IDCANCEL},
      {"button 1", [this](Dialog& d) { hl().Click(*d.GetDlgItem(IDOK)); }, IDOK},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Dialog dialog({164, WS_POPUP | WS_SYSMENU, 0, {253, 106}, L"", {{IDOK, {45, 61, 127, 95}, L"OK"}}});
    hl().ExpectDialog(164, c.act);
    EXPECT_EQ(dialog.DoModal(), c.result);
  }
}

TEST_F(WindowTest, DraggingByTheCaptionMovesOnlyAWindowThatIsNotZoomed) {
  // A box that is dragged anywhere but on its button, and a frameless main
  // window that posts the caption press itself from a click on its strip.
  class Box : public Dialog {
   public:
    Box() : Dialog({164, WS_POPUP, 0, {253, 106}, L"", {{IDOK, {45, 61, 127, 95}, L"OK"}}}) {}
   protected:
    LRESULT OnNcHitTest(Point screen) override {
      LRESULT hit = Dialog::OnNcHitTest(screen);
      return hit == HTCLIENT ? HTCAPTION : hit;
    }
  };
  class Strip : public Probe {
   protected:
    void OnLButtonDown(UINT flags, Point point) override {
      if (!IsZoomed()) PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, 0);
      Probe::OnLButtonDown(flags, point);
    }
  };

  Box box;
  ASSERT_TRUE(box.Create(static_cast<Window*>(nullptr)));
  box.ShowWindow(SW_SHOW);
  Rect before = box.GetWindowRect();
  hl().Drag({before.left + 10, before.top + 10}, {before.left + 110, before.top + 60});
  EXPECT_EQ(box.GetWindowRect(), before.Offset(100, 50));
  Rect button = box.GetDlgItem(IDOK)->GetWindowRect();
  Rect moved = box.GetWindowRect();
  hl().Drag({button.left + 5, button.top + 5}, {button.left + 200, button.top + 200});
  EXPECT_EQ(box.GetWindowRect(), moved);

  Strip main;
  ASSERT_TRUE(main.Make(kNormal));
  hl().Drag({kNormal.left + 300, kNormal.top + 10}, {kNormal.left + 320, kNormal.top + 5});
  EXPECT_EQ(main.GetWindowRect(), kNormal.Offset(20, -5));
  EXPECT_EQ(main.GetRestoredRect(), kNormal.Offset(20, -5));
  main.SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  hl().Drag({300, 10}, {400, 100});
  EXPECT_EQ(main.GetWindowRect(), kWorkArea);
}

TEST_F(WindowTest, ButtonClicksReachTheParentAsCommands) {
  class Parent : public Probe {
   public:
    std::vector<int> clicks;
   protected:
    bool OnCommand(WPARAM wParam, LPARAM) override {
      if (HIWORD(wParam) == BN_CLICKED) clicks.push_back(LOWORD(wParam));
      return true;
    }
  };
  // Turns the second press of a double click into a press, so that a double
  // click counts as two clicks.
  class TwoClickButton : public Button {
   public:
    bool PreTranslateMessage(Msg& msg) override {
      if (msg.message == WM_LBUTTONDBLCLK) msg.message = WM_LBUTTONDOWN;
      return Button::PreTranslateMessage(msg);
    }
  };
  Parent parent;
  ASSERT_TRUE(parent.Make(kNormal));
  Button plain;
  TwoClickButton twice;
  ASSERT_TRUE(plain.Create(L"a", WS_VISIBLE, Rect::FromXYWH(10, 10, 80, 24), &parent, 1001));
  ASSERT_TRUE(twice.Create(L"b", WS_VISIBLE, Rect::FromXYWH(100, 10, 80, 24), &parent, 1021));

  hl().Click(plain);
  hl().DoubleClick(plain);
  hl().DoubleClick(twice);
  EXPECT_THAT(parent.clicks, ElementsAre(1001, 1001, 1021, 1021));

  // Pressed, moved off and released elsewhere: no click. Disabled: no click.
  parent.clicks.clear();
  Rect r = plain.GetWindowRect();
  hl().Drag({r.left + 5, r.top + 5}, {r.left + 5, r.bottom + 40});
  plain.EnableWindow(false);
  hl().Click(plain);
  EXPECT_TRUE(parent.clicks.empty());
}

TEST_F(WindowTest, PaintingCoversTheInvalidRegionAndRenderingComposesChildren) {
  Probe w;
  ASSERT_TRUE(w.Make(Rect::FromXYWH(100, 100, 200, 100)));
  w.paint = [&](Surface& s) {
    PixelRect box = s.ClipBox();
    s.FillRect(box, {200, 0, 0, 255});
  };
  PumpMessages();
  EXPECT_EQ(w.GetLastPaint().rect, (Rect{0, 0, 200, 100}));
  EXPECT_TRUE(w.GetLastPaint().erased);

  // A small invalid rectangle is all the next paint cycle touches.
  w.paint = [&](Surface& s) { s.FillRect({0, 0, 200, 100}, {0, 0, 200, 255}); };
  Rect small = Rect::FromXYWH(88, 28, 23, 23);
  w.InvalidateRect(&small, false);
  Rect update;
  ASSERT_TRUE(w.GetUpdateRect(&update));
  EXPECT_EQ(update, small);
  w.UpdateWindow();
  EXPECT_FALSE(w.GetUpdateRect(nullptr));
  EXPECT_EQ(w.GetLastPaint().rect, small);
  EXPECT_FALSE(w.GetLastPaint().erased);

  Probe child;
  ASSERT_TRUE(child.CreateEx({L"Child", L"", WS_CHILD | WS_VISIBLE, 0, Rect::FromXYWH(0, 0, 10, 10), w.GetSafeHwnd(), 5}));
  child.paint = [](Surface& s) { s.FillRect({0, 0, 10, 10}, {0, 200, 0, 255}); };
  Surface shown = RenderWindow(w);
  EXPECT_EQ(shown.GetPixel(5, 5), (Rgba{0, 200, 0, 255}));      // the child
  EXPECT_EQ(shown.GetPixel(50, 50), (Rgba{200, 0, 0, 255}));    // painted once, kept
  EXPECT_EQ(shown.GetPixel(90, 30), (Rgba{0, 0, 200, 255}));    // repainted part
}

TEST_F(WindowTest, LayeredWindowsShowAndTakeInputOnlyWhereTheyAreOpaque) {
  Probe below;
  ASSERT_TRUE(below.Make(Rect::FromXYWH(0, 0, 400, 400)));

  // Colour key green plus constant alpha.
  Probe keyed;
  ASSERT_TRUE(keyed.Make(Rect::FromXYWH(0, 0, 100, 100), WS_POPUP | WS_VISIBLE));
  EXPECT_FALSE(keyed.SetLayeredWindowAttributes(RGB(0, 255, 0), 250, LWA_COLORKEY | LWA_ALPHA));
  keyed.ModifyStyleEx(0, WS_EX_LAYERED);
  ASSERT_TRUE(keyed.SetLayeredWindowAttributes(RGB(0, 255, 0), 250, LWA_COLORKEY | LWA_ALPHA));
  keyed.paint = [](Surface& s) {
    s.FillRect({0, 0, 100, 50}, {0, 255, 0, 255}, Blend::Copy);
    s.FillRect({0, 50, 100, 50}, {255, 0, 0, 255}, Blend::Copy);
  };
  Surface shown = RenderWindow(keyed);
  EXPECT_EQ(shown.GetPixel(10, 10).a, 0);
  EXPECT_EQ(shown.GetPixel(10, 60).a, 250);
  keyed.SetForegroundWindow();
  hl().ClickAt({10, 10});
  EXPECT_FALSE(below.Seen(WM_LBUTTONDOWN).empty());
  // That click brought the window below to the front.
  keyed.SetForegroundWindow();
  below.log.clear();
  hl().ClickAt({10, 60});
  EXPECT_TRUE(below.Seen(WM_LBUTTONDOWN).empty());

  // A per-pixel-alpha picture: the window takes the picture's size.
  Probe picture;
  ASSERT_TRUE(picture.Make(Rect::FromXYWH(200, 200, 10, 10), WS_POPUP | WS_VISIBLE, WS_EX_LAYERED));
  Surface art(60, 40);
  art.FillRect({0, 0, 30, 40}, {9, 9, 9, 255});
  Point at{150, 150};
  ASSERT_TRUE(picture.UpdateLayeredWindow(&at, nullptr, art, {0, 0}, 255, ULW_ALPHA));
  EXPECT_EQ(picture.GetWindowRect(), Rect::FromXYWH(150, 150, 60, 40));
  below.log.clear();
  hl().ClickAt({155, 155});
  EXPECT_TRUE(below.Seen(WM_LBUTTONDOWN).empty());
  hl().ClickAt({200, 155});
  EXPECT_FALSE(below.Seen(WM_LBUTTONDOWN).empty());
}

TEST_F(WindowTest, HoverTrackingCursorAndTooltipFollowThePointer) {
  // A button in the skin's manner: tracking asked on the first move, a hand
  // cursor, a tooltip fed with its mouse messages.
  class HoverButton : public Button {
   public:
    std::vector<std::string> events;
    ToolTip tip;
    bool PreTranslateMessage(Msg& msg) override {
      if (tip.GetSafeHwnd()) tip.RelayEvent(msg);
      return Button::PreTranslateMessage(msg);
    }
   protected:
    void OnMouseMove(UINT flags, Point point) override {
      if (!(GetTrackMouseFlags() & TME_LEAVE)) TrackMouseEvent(TME_HOVER | TME_LEAVE, 1);
      Button::OnMouseMove(flags, point);
    }
    LRESULT OnMouseHover(UINT, Point) override {
      events.push_back("hover");
      return 0;
    }
    LRESULT OnMouseLeave() override {
      events.push_back("leave");
      return 0;
    }
    bool OnSetCursor(HWND, UINT, UINT) override {
      SetCursor(Cursor::Hand);
      return true;
    }
  };
  Probe parent;
  ASSERT_TRUE(parent.Make(kNormal));
  HoverButton button;
  ASSERT_TRUE(button.Create(L"", WS_VISIBLE, Rect::FromXYWH(10, 3, 78, 24), &parent, 1021));
  ASSERT_TRUE(button.tip.Create(&button));
  button.tip.Activate(true);
  button.tip.AddTool(&button, L"刷新", button.GetClientRect(), 1);
  EXPECT_EQ(FindWindow(ToolTip::kClassName, nullptr), button.tip.GetSafeHwnd());

  hl().Hover(button);
  EXPECT_EQ(hl().CurrentCursor(), Cursor::Hand);
  EXPECT_EQ(button.tip.GetShownText(), L"刷新");
  hl().MoveMouse({kNormal.left + 40, kNormal.top + 10});  // still on the button: nothing new
  hl().MoveOffWindows();
  EXPECT_EQ(hl().CurrentCursor(), Cursor::Arrow);
  EXPECT_EQ(button.tip.GetShownText(), L"");
  hl().Hover(button);
  EXPECT_THAT(button.events, ElementsAre("hover", "leave", "hover"));
}
