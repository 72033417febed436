#include "ui/Input.h"

#include "ui/FrameworkState.h"
#include "ui/System.h"

namespace ui::input {

namespace {

Window* Target(Point screen) {
  if (Window* captured = Window::GetCapture()) return captured;
  return Framework::WindowFromPoint(screen);
}

LPARAM ClientLParam(Window& w, Point screen) {
  Point p = screen;
  w.ScreenToClient(&p);
  return PointToLParam(p.x, p.y);
}

WPARAM KeyFlags() {
  WPARAM flags = 0;
  if (G().leftDown) flags |= MK_LBUTTON;
  if (G().modifiers & MOD_SHIFT) flags |= MK_SHIFT;
  if (G().modifiers & MOD_CONTROL) flags |= MK_CONTROL;
  return flags;
}

// The window takes a press only when it and its top-level window are
// enabled; a press on the owner of a running modal dialog activates the
// dialog instead.
bool Accepts(Window& w) {
  Window* top = w.GetTopLevelParent();
  if (!top->IsWindowEnabled()) {
    Framework::Activate(top);
    return false;
  }
  if (!w.IsWindowEnabled()) return false;
  if (G().foreground != top->GetSafeHwnd()) Framework::Activate(top);
  return true;
}

bool Press(MouseButton button, Point screen, bool doubleClick) {
  if (button == MouseButton::Left) G().leftDown = true;
  Window* w = Target(screen);
  if (!w || !Accepts(*w)) return false;
  HWND hwnd = w->GetSafeHwnd();
  LRESULT hit = Window::GetCapture() ? HTCLIENT : SendMessage(hwnd, WM_NCHITTEST, 0, PointToLParam(screen.x, screen.y));
  if (!LocalWindow(hwnd)) return true;
  if (hit == HTCLIENT) {
    UINT message = button == MouseButton::Left ? (doubleClick ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN)
                                               : (doubleClick ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN);
    Framework::Deliver({hwnd, message, KeyFlags(), ClientLParam(*w, screen), screen});
  } else if (button == MouseButton::Left) {
    Framework::Deliver({hwnd, WM_NCLBUTTONDOWN, WPARAM(hit), PointToLParam(screen.x, screen.y), screen});
  }
  return true;
}

}  // namespace

void MouseMove(Point screen) {
  auto& g = G();
  if (g.drag.hwnd) {
    if (Window* w = LocalWindow(g.drag.hwnd)) {
      Rect r = w->GetWindowRect();
      w->SetWindowPos(0, g.drag.origin.x + screen.x - g.drag.grab.x, g.drag.origin.y + screen.y - g.drag.grab.y,
                      r.Width(), r.Height(), SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return;
  }
  Window* w = Target(screen);
  HWND hwnd = w ? w->GetSafeHwnd() : 0;
  if (g.underPointer != hwnd) {
    Window* left = LocalWindow(g.underPointer);
    if (left && (left->GetTrackMouseFlags() & TME_LEAVE)) {
      left->TrackMouseEvent(TME_CANCEL | TME_LEAVE | TME_HOVER, 0);
      Framework::Deliver({left->GetSafeHwnd(), WM_MOUSELEAVE, 0, 0, screen});
    }
    g.underPointer = hwnd;
  }
  if (!w || !LocalWindow(hwnd)) {
    ui::SetCursor(Cursor::Arrow);
    return;
  }
  if (!Window::GetCapture()) {
    LRESULT hit = SendMessage(hwnd, WM_NCHITTEST, 0, PointToLParam(screen.x, screen.y));
    if (!SendMessage(hwnd, WM_SETCURSOR, hwnd, MAKELPARAM(WORD(hit), WORD(WM_MOUSEMOVE)))) ui::SetCursor(Cursor::Arrow);
  }
  if (LocalWindow(hwnd)) Framework::Deliver({hwnd, WM_MOUSEMOVE, KeyFlags(), ClientLParam(*w, screen), screen});
}

bool MouseDown(MouseButton button, Point screen) { return Press(button, screen, false); }
bool MouseDoubleClick(MouseButton button, Point screen) { return Press(button, screen, true); }

bool MouseUp(MouseButton button, Point screen) {
  if (button == MouseButton::Left) G().leftDown = false;
  if (G().drag.hwnd) {
    G().drag = {};
    return true;
  }
  Window* w = Target(screen);
  if (!w || !w->IsWindowEnabled()) return false;
  HWND hwnd = w->GetSafeHwnd();
  LRESULT hit = Window::GetCapture() ? HTCLIENT : SendMessage(hwnd, WM_NCHITTEST, 0, PointToLParam(screen.x, screen.y));
  if (hit != HTCLIENT || !LocalWindow(hwnd)) return true;
  UINT message = button == MouseButton::Left ? WM_LBUTTONUP : WM_RBUTTONUP;
  Framework::Deliver({hwnd, message, KeyFlags(), ClientLParam(*w, screen), screen});
  return true;
}

void MouseRest() {
  Window* w = LocalWindow(G().underPointer);
  if (!w || !(w->GetTrackMouseFlags() & TME_HOVER)) return;
  // Hover tracking ends when it has reported once.
  w->TrackMouseEvent(TME_CANCEL | TME_HOVER, 0);
  Point screen = GetCursorPos();
  Framework::Deliver({w->GetSafeHwnd(), WM_MOUSEHOVER, 0, ClientLParam(*w, screen), screen});
}

namespace {

Window* KeyTarget() {
  Window* active = LocalWindow(G().foreground);
  if (!active) return nullptr;
  Window* focus = LocalWindow(G().focus);
  if (focus && focus->GetTopLevelParent() == active) return focus;
  return active;
}

bool Key(UINT virtualKey, UINT modifiers, bool down) {
  G().modifiers = modifiers;
  Window* w = KeyTarget();
  if (!w || !w->GetTopLevelParent()->IsWindowEnabled()) return false;
  bool alt = (modifiers & MOD_ALT) != 0;
  UINT message = down ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN) : (alt ? WM_SYSKEYUP : WM_KEYUP);
  LPARAM lParam = 1 | (alt ? LPARAM(1) << 29 : 0) | (down ? 0 : LPARAM(0xC0000000));
  Framework::Deliver({w->GetSafeHwnd(), message, virtualKey, lParam, GetCursorPos()});
  return true;
}

}  // namespace

bool KeyDown(UINT virtualKey, UINT modifiers) { return Key(virtualKey, modifiers, true); }
bool KeyUp(UINT virtualKey, UINT modifiers) { return Key(virtualKey, modifiers, false); }
void ModifiersReleased() { G().modifiers = 0; }

void Activated(HWND hwnd) {
  if (Window* w = LocalWindow(hwnd)) Framework::Activate(w);
}

void OtherApplicationActivated() {
  Window* old = LocalWindow(G().foreground);
  G().foreground = 0;
  if (old) SendMessage(old->GetSafeHwnd(), WM_ACTIVATE, WA_INACTIVE, 0);
}

void CloseRequested(HWND hwnd) { SystemCommand(hwnd, SC_CLOSE); }

void SystemCommand(HWND hwnd, WPARAM command) { SendMessage(hwnd, WM_SYSCOMMAND, command, 0); }

void Moved(HWND hwnd, const Rect& screenRect) {
  if (Window* w = LocalWindow(hwnd))
    w->SetWindowPos(0, screenRect.left, screenRect.top, screenRect.Width(), screenRect.Height(),
                    SWP_NOZORDER | SWP_NOACTIVATE);
}

void TimerFired(HWND hwnd, UINT_PTR id) {
  if (!G().timers.count({hwnd, id}) || !LocalWindow(hwnd)) return;
  Framework::Deliver({hwnd, WM_TIMER, id, 0, GetCursorPos()});
}

LRESULT ForeignMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool sent) {
  if (sent) return SendMessage(hwnd, message, wParam, lParam);
  PostMessage(hwnd, message, wParam, lParam);
  return 0;
}

}  // namespace ui::input
