#include <algorithm>

#include "ui/FrameworkState.h"

namespace ui {

Globals& G() {
  static Globals globals;
  return globals;
}

Window* LocalWindow(HWND hwnd) {
  if (!hwnd) return nullptr;
  std::lock_guard lock(G().handlesMutex);
  auto it = G().handles.find(hwnd);
  return it == G().handles.end() ? nullptr : it->second;
}

LRESULT Framework::Call(Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = window.GetSafeHwnd();
  Msg saved = window.state_->current;
  window.state_->current = {hwnd, message, wParam, lParam, G().backend ? G().backend->CursorPos() : Point{}};
  LRESULT result = window.WindowProc(message, wParam, lParam);
  // The handler may have destroyed the window or handed it to another object.
  if (hwnd && LocalWindow(hwnd) == &window) window.state_->current = saved;
  return result;
}

bool Framework::PreTranslate(Msg& msg) {
  HWND h = msg.hwnd;
  while (Window* w = LocalWindow(h)) {
    if (w->PreTranslateMessage(msg)) return true;
    if (!(w->state_->style & WS_CHILD)) break;
    h = w->state_->parent;
  }
  return false;
}

void Framework::Deliver(Msg msg) {
  if (PreTranslate(msg)) return;
  if (Window* w = LocalWindow(msg.hwnd)) Call(*w, msg.message, msg.wParam, msg.lParam);
}

void Framework::PaintNow(Window& window) {
  auto& s = *window.state_;
  if (!s.hwnd || s.updateRegion.empty() || !window.IsWindowVisible()) return;
  Rect client = window.GetClientRect();
  Rect bounds;
  for (const Rect& r : s.updateRegion) bounds = bounds.Union(r);
  bounds = bounds.Intersect(client);
  bool erase = s.eraseNeeded;
  s.updateRegion.clear();
  s.eraseNeeded = false;
  if (bounds.IsEmpty()) return;
  if (s.backing.IsNull() || s.backing.Width() != client.Width() || s.backing.Height() != client.Height()) {
    Surface fresh(client.Width(), client.Height());
    if (!s.backing.IsNull()) fresh.DrawSurface(s.backing, 0, 0, 1.0, Blend::Copy);
    s.backing = std::move(fresh);
  }
  HWND hwnd = s.hwnd;
  Surface& surface = s.backing;
  surface.SetOrigin(0, 0);
  surface.SetClip({bounds.left, bounds.top, bounds.Width(), bounds.Height()});
  if (erase) Call(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(&surface), 0);
  if (LocalWindow(hwnd) != &window) return;
  Call(window, WM_PAINT, reinterpret_cast<WPARAM>(&surface), 0);
  if (LocalWindow(hwnd) != &window) return;
  surface.ResetClip();
  surface.SetOrigin(0, 0);
  s.lastPaint = {s.lastPaint.count + 1, bounds, erase};
  G().backend->Present(window, bounds);
}

void Framework::PaintPending() {
  std::vector<HWND> all;
  {
    std::lock_guard lock(G().handlesMutex);
    for (auto& [h, w] : G().handles)
      if (!w->state_->updateRegion.empty()) all.push_back(h);
  }
  for (HWND h : all)
    if (Window* w = LocalWindow(h)) PaintNow(*w);
}

namespace {

void RaiseWithOwned(HWND hwnd) {
  auto& z = G().zOrder;
  std::erase(z, hwnd);
  z.push_back(hwnd);
  Window* w = LocalWindow(hwnd);
  for (Window* owned : w->GetOwnedWindows()) RaiseWithOwned(owned->GetSafeHwnd());
}

}  // namespace

void Framework::Activate(Window* top) {
  if (!top || !top->GetSafeHwnd()) return;
  top = top->GetTopLevelParent();
  // A disabled window (the owner of a running modal dialog) passes the
  // activation on to its last active popup.
  if (!top->IsWindowEnabled()) {
    Window* popup = top->GetLastActivePopup();
    if (popup == top || !popup->IsWindowEnabled()) return;
    top = popup;
  }
  HWND hwnd = top->GetSafeHwnd();
  for (Window* o = top->GetOwner(); o; o = o->GetOwner()) o->state_->lastActivePopup = hwnd;
  top->state_->lastActivePopup = hwnd;
  RaiseWithOwned(hwnd);
  if (G().foreground == hwnd) return;
  Window* old = LocalWindow(G().foreground);
  G().foreground = hwnd;
  if (old) Call(*old, WM_ACTIVATE, WA_INACTIVE, LPARAM(hwnd));
  if (LocalWindow(hwnd) != top) return;
  Call(*top, WM_ACTIVATE, WA_ACTIVE, LPARAM(old ? old->GetSafeHwnd() : 0));
  G().backend->Activate(*top);
  Window* focus = LocalWindow(G().focus);
  if (!focus || focus->GetTopLevelParent() != top) top->SetFocus();
}

void Framework::ActivateNext(HWND owner, HWND leaving) {
  auto usable = [leaving](Window* w) {
    return w && w->GetSafeHwnd() != leaving && w->IsWindowVisible() && !w->IsIconic() && w->IsWindowEnabled();
  };
  if (Window* o = LocalWindow(owner); usable(o)) {
    Activate(o);
    return;
  }
  for (Window* w : TopLevelsTopFirst()) {
    if (usable(w)) {
      Activate(w);
      return;
    }
  }
}

void Framework::Notify(Window& window, unsigned changes) {
  if (G().backend && window.GetSafeHwnd()) G().backend->WindowChanged(window, changes);
}

std::vector<Window*> Framework::TopLevelsTopFirst() {
  std::vector<Window*> out;
  for (auto it = G().zOrder.rbegin(); it != G().zOrder.rend(); ++it)
    if (Window* w = LocalWindow(*it)) out.push_back(w);
  return out;
}

Window* Framework::WindowFromPoint(Point screen) {
  for (Window* top : TopLevelsTopFirst()) {
    if (!top->IsWindowVisible() || top->IsIconic()) continue;
    if (!top->GetWindowRect().Contains(screen) || !top->HitTestLayered(screen)) continue;
    Window* w = top;
    for (bool descended = true; descended;) {
      descended = false;
      auto children = w->GetChildren();
      for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if ((*it)->IsWindowVisible() && (*it)->GetWindowRect().Contains(screen)) {
          w = *it;
          descended = true;
          break;
        }
      }
    }
    return w;
  }
  return nullptr;
}

bool PumpOne() {
  std::shared_ptr<Globals::Sent> sent;
  Msg msg;
  bool posted = false;
  {
    std::lock_guard lock(G().queueMutex);
    if (!G().sent.empty()) {
      sent = G().sent.front();
      G().sent.pop_front();
    } else if (!G().posted.empty()) {
      msg = G().posted.front();
      G().posted.pop_front();
      posted = true;
    }
  }
  if (sent) {
    LRESULT result = 0;
    try {
      if (Window* w = LocalWindow(sent->msg.hwnd))
        result = Framework::Call(*w, sent->msg.message, sent->msg.wParam, sent->msg.lParam);
    } catch (...) {
      sent->result.set_value(0);
      throw;
    }
    sent->result.set_value(result);
    return true;
  }
  if (posted) {
    if (LocalWindow(msg.hwnd)) Framework::Deliver(msg);
    return true;
  }
  return false;
}

}  // namespace ui
