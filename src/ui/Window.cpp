#include "ui/Window.h"

#include <algorithm>

#include "ui/Cursor.h"
#include "ui/FrameworkState.h"
#include "ui/Render.h"
#include "ui/System.h"

namespace ui {

namespace {

Backend& B() { return *G().backend; }

Point ScreenOriginOf(HWND hwnd) {
  if (Window* w = LocalWindow(hwnd)) {
    Rect r = w->GetWindowRect();
    return r.TopLeft();
  }
  Rect r;
  if (G().backend && B().ForeignWindowRect(hwnd, &r)) return r.TopLeft();
  return {};
}

WPARAM SizeType(ShowState state) {
  switch (state) {
    case ShowState::Maximized:
    case ShowState::Fullscreen:
      return SIZE_MAXIMIZED;
    case ShowState::Minimized:
      return SIZE_MINIMIZED;
    case ShowState::Normal:
      break;
  }
  return SIZE_RESTORED;
}

detail::WindowState& State(const Window& w) { return Framework::State(w); }

// Something that could change what the window shows changed: its look moves
// on, and so does that of every local window it is inside.
void LookChanged(Window& window) {
  for (Window* w = &window; w; w = w->GetParent()) ++State(*w).lookVersion;
}

void Changed(Window& window, unsigned changes) {
  LookChanged(window);
  Framework::Notify(window, changes);
}

bool IsTopLevel(const detail::WindowState& s) { return (s.style & WS_CHILD) == 0; }

Rect ScreenRect() {
  Size s = B().ScreenSize();
  return {0, 0, s.cx, s.cy};
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction and destruction

Window::Window() : state_(std::make_unique<detail::WindowState>()) { state_->self = this; }

Window::~Window() {
  if (state_ && state_->hwnd) DestroyWindow();
}

bool Window::CreateEx(const CreateParams& params) {
  if (state_->hwnd || !G().backend) return false;
  auto& s = *state_;
  s.className = params.className;
  s.text = params.text;
  s.style = params.style & ~WS_VISIBLE;
  s.exStyle = params.exStyle;
  s.id = params.id;
  s.rect = params.rect;
  s.restoreRect = params.rect;
  if (params.style & WS_CHILD) {
    s.parent = params.parent;
  } else if (params.parent) {
    Window* owner = LocalWindow(params.parent);
    s.owner = owner ? owner->GetTopLevelParent()->GetSafeHwnd() : 0;
  }
  HWND hwnd = B().CreateNative(*this);
  if (!hwnd) return false;
  s.hwnd = hwnd;
  {
    std::lock_guard lock(G().handlesMutex);
    G().handles[hwnd] = this;
  }
  if (Window* parent = LocalWindow(s.parent)) {
    State(*parent).children.push_back(hwnd);
    LookChanged(*parent);
  }
  if (IsTopLevel(s)) G().zOrder.push_back(hwnd);
  if (Framework::Call(*this, WM_CREATE, 0, 0) == -1) {
    DestroyWindow();
    return false;
  }
  if (params.style & WS_VISIBLE) ShowWindow(SW_SHOW);
  return true;
}

bool Window::DestroyWindow() {
  auto& s = *state_;
  if (!s.hwnd) return false;
  HWND hwnd = s.hwnd;
  for (Window* owned : GetOwnedWindows()) owned->DestroyWindow();
  Framework::Call(*this, WM_DESTROY, 0, 0);
  for (HWND child : std::vector<HWND>(s.children)) {
    if (Window* c = LocalWindow(child)) c->DestroyWindow();
  }
  for (auto it = G().timers.begin(); it != G().timers.end();) {
    if (it->first == hwnd) {
      B().StopTimer(hwnd, it->second);
      it = G().timers.erase(it);
    } else {
      ++it;
    }
  }
  for (auto it = G().hotkeys.begin(); it != G().hotkeys.end();) {
    if (it->first == hwnd) {
      B().UnregisterHotKey(hwnd, it->second);
      it = G().hotkeys.erase(it);
    } else {
      ++it;
    }
  }
  bool wasActive = G().foreground == hwnd;
  if (G().capture == hwnd) G().capture = 0;
  if (G().underPointer == hwnd) G().underPointer = 0;
  if (G().drag.hwnd == hwnd) G().drag = {};
  if (G().focus == hwnd) G().focus = 0;
  if (Window* parent = LocalWindow(s.parent)) {
    std::erase(State(*parent).children, hwnd);
    LookChanged(*parent);
  }
  std::erase(G().zOrder, hwnd);
  Framework::Call(*this, WM_NCDESTROY, 0, 0);
  B().DestroyNative(*this);
  {
    std::lock_guard lock(G().handlesMutex);
    G().handles.erase(hwnd);
  }
  if (G().mainWindow == this) G().mainWindow = nullptr;
  HWND owner = s.owner;
  bool frameworkOwned = s.frameworkOwned;
  state_ = std::make_unique<detail::WindowState>();
  state_->self = this;
  if (wasActive) {
    G().foreground = 0;
    Framework::ActivateNext(owner, hwnd);
  }
  PostNcDestroy();
  if (frameworkOwned) delete this;
  return true;
}

void Window::PostNcDestroy() {}

HWND Window::GetSafeHwnd() const { return state_ ? state_->hwnd : 0; }

Window* Window::FromHandle(HWND hwnd) { return LocalWindow(hwnd); }

// ---------------------------------------------------------------------------
// Relations

int Window::GetDlgCtrlID() const { return state_->id; }

Window* Window::GetDlgItem(int id) const {
  for (HWND child : state_->children) {
    Window* c = LocalWindow(child);
    if (c && c->GetDlgCtrlID() == id) return c;
  }
  return nullptr;
}

Window* Window::GetParent() const { return LocalWindow(state_->parent); }
HWND Window::GetParentHandle() const { return state_->parent; }
Window* Window::GetOwner() const { return LocalWindow(state_->owner); }

Window* Window::GetTopLevelParent() const {
  const Window* w = this;
  while ((State(*w).style & WS_CHILD) && w->GetParent()) w = w->GetParent();
  return const_cast<Window*>(w);
}

HWND Window::SetParent(HWND newParent) {
  auto& s = *state_;
  HWND old = s.parent;
  if (Window* p = LocalWindow(old)) {
    std::erase(State(*p).children, s.hwnd);
    LookChanged(*p);
  }
  bool wasTop = IsTopLevel(s);
  s.parent = newParent;
  if (newParent) {
    s.style |= WS_CHILD;
    s.style &= ~WS_POPUP;
    s.owner = 0;
    if (Window* p = LocalWindow(newParent)) State(*p).children.push_back(s.hwnd);
    if (wasTop) std::erase(G().zOrder, s.hwnd);
  } else if (!wasTop) {
    s.style &= ~WS_CHILD;
    G().zOrder.push_back(s.hwnd);
  }
  Changed(*this, kChangeParent | kChangeGeometry);
  return old;
}

std::vector<Window*> Window::GetChildren() const {
  std::vector<Window*> out;
  for (HWND h : state_->children)
    if (Window* w = LocalWindow(h)) out.push_back(w);
  return out;
}

std::vector<Window*> Window::GetOwnedWindows() const {
  std::vector<Window*> out;
  if (!state_->hwnd) return out;
  std::vector<Window*> all;
  {
    std::lock_guard lock(G().handlesMutex);
    for (auto& [h, w] : G().handles) all.push_back(w);
  }
  for (Window* w : all)
    if (State(*w).owner == state_->hwnd) out.push_back(w);
  return out;
}

const std::wstring& Window::GetClassName() const { return state_->className; }

void Window::SetWindowText(const std::wstring& text) {
  state_->text = text;
  if (state_->hwnd) Changed(*this, kChangeText);
}

std::wstring Window::GetWindowText() const { return state_->text; }

DWORD Window::GetStyle() const {
  DWORD style = state_->style;
  if (state_->visible) style |= WS_VISIBLE;
  if (IsZoomed()) style |= WS_MAXIMIZE;
  if (IsIconic()) style |= WS_MINIMIZE;
  return style;
}

DWORD Window::GetExStyle() const { return state_->exStyle; }

bool Window::ModifyStyle(DWORD remove, DWORD add, UINT) {
  if (!state_->hwnd) return false;
  DWORD before = state_->style;
  if (add & WS_VISIBLE) ShowWindow(SW_SHOWNA);
  if (remove & WS_VISIBLE) ShowWindow(SW_HIDE);
  if ((add & WS_DISABLED) || (remove & WS_DISABLED)) EnableWindow((remove & WS_DISABLED) != 0);
  state_->style = (state_->style & ~remove) | add;
  state_->style &= ~(WS_VISIBLE | WS_MAXIMIZE | WS_MINIMIZE);
  if (state_->style != before) Changed(*this, kChangeStyle);
  return state_->style != before;
}

bool Window::ModifyStyleEx(DWORD remove, DWORD add, UINT) {
  if (!state_->hwnd) return false;
  DWORD before = state_->exStyle;
  state_->exStyle = (state_->exStyle & ~remove) | add;
  if (!(state_->exStyle & WS_EX_LAYERED)) {
    state_->layered = {};
    state_->picture = Surface();
  }
  if (state_->exStyle != before) Changed(*this, kChangeStyle | kChangeLayered);
  return state_->exStyle != before;
}

// ---------------------------------------------------------------------------
// Geometry

Rect Window::GetWindowRect() const {
  const auto& s = *state_;
  if (IsTopLevel(s) || !s.parent) return s.rect;
  Point origin = ScreenOriginOf(s.parent);
  return s.rect.Offset(origin.x, origin.y);
}

void Window::GetWindowRect(Rect* rect) const { *rect = GetWindowRect(); }

Rect Window::GetClientRect() const { return {0, 0, state_->rect.Width(), state_->rect.Height()}; }

void Window::GetClientRect(Rect* rect) const { *rect = GetClientRect(); }

void Window::ClientToScreen(Point* point) const {
  Point o = GetWindowRect().TopLeft();
  point->x += o.x;
  point->y += o.y;
}

void Window::ClientToScreen(Rect* rect) const {
  Point o = GetWindowRect().TopLeft();
  *rect = rect->Offset(o.x, o.y);
}

void Window::ScreenToClient(Point* point) const {
  Point o = GetWindowRect().TopLeft();
  point->x -= o.x;
  point->y -= o.y;
}

void Window::ScreenToClient(Rect* rect) const {
  Point o = GetWindowRect().TopLeft();
  *rect = rect->Offset(-o.x, -o.y);
}

bool Window::MoveWindow(int x, int y, int width, int height, bool repaint) {
  return SetWindowPos(0, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

bool Window::MoveWindow(const Rect& rect, bool repaint) {
  return MoveWindow(rect.left, rect.top, rect.Width(), rect.Height(), repaint);
}

bool Window::SetWindowPos(HWND, int x, int y, int cx, int cy, UINT flags) {
  auto& s = *state_;
  if (!s.hwnd) return false;
  Rect old = s.rect;
  Rect r = old;
  if (!(flags & SWP_NOMOVE)) r = Rect::FromXYWH(x, y, r.Width(), r.Height());
  if (!(flags & SWP_NOSIZE)) r = Rect::FromXYWH(r.left, r.top, std::max(0, cx), std::max(0, cy));
  bool moved = r.TopLeft() != old.TopLeft();
  bool sized = r.Width() != old.Width() || r.Height() != old.Height();
  s.rect = r;
  if (IsTopLevel(s)) {
    if (s.showState == ShowState::Maximized && r == ScreenRect()) s.showState = ShowState::Fullscreen;
    else if (s.showState == ShowState::Fullscreen && r != ScreenRect()) s.showState = ShowState::Maximized;
    if (s.showState == ShowState::Normal) s.restoreRect = r;
  }
  if (moved || sized) {
    if (sized) {
      Surface grown(r.Width(), r.Height());
      if (!s.backing.IsNull()) grown.DrawSurface(s.backing, 0, 0, 1.0, Blend::Copy);
      s.backing = std::move(grown);
      InvalidateRect(nullptr, true);
    }
    // A move alone leaves what the window shows as it was (a dragged keyed
    // popup keeps its hit mask); it changes what its parent shows.
    if (sized) LookChanged(*this);
    else if (Window* parent = GetParent()) LookChanged(*parent);
    Framework::Notify(*this, kChangeGeometry);
    Framework::Call(*this, WM_WINDOWPOSCHANGED, 0, 0);
    if (moved) Framework::Call(*this, WM_MOVE, 0, PointToLParam(r.left, r.top));
    if (sized) Framework::Call(*this, WM_SIZE, SizeType(s.showState), MAKELPARAM(WORD(r.Width()), WORD(r.Height())));
  }
  if (flags & SWP_SHOWWINDOW) ShowWindow((flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
  if (flags & SWP_HIDEWINDOW) ShowWindow(SW_HIDE);
  return true;
}

void Window::CenterWindow(Window* alternateOwner) {
  auto& s = *state_;
  if (!s.hwnd) return;
  Rect area;
  if (!IsTopLevel(s)) {
    Window* p = GetParent();
    if (!p) return;
    area = p->GetClientRect();
  } else {
    Window* owner = alternateOwner ? alternateOwner : GetOwner();
    area = (owner && owner->IsWindowVisible() && !owner->IsIconic()) ? owner->GetWindowRect() : B().WorkArea();
  }
  int w = s.rect.Width(), h = s.rect.Height();
  int x = area.left + (area.Width() - w) / 2;
  int y = area.top + (area.Height() - h) / 2;
  if (IsTopLevel(s)) {
    Rect work = B().WorkArea();
    x = std::max(work.left, std::min(x, work.right - w));
    y = std::max(work.top, std::min(y, work.bottom - h));
  }
  SetWindowPos(0, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---------------------------------------------------------------------------
// Visibility and show state

bool Window::ShowWindow(int command) {
  auto& s = *state_;
  if (!s.hwnd) return false;
  bool wasVisible = s.visible;
  ShowState before = s.showState;
  bool activate = IsTopLevel(s);
  auto setState = [&](ShowState next) {
    if (next == s.showState) return;
    if (next == ShowState::Minimized) s.beforeMinimize = s.showState;
    if (s.showState == ShowState::Normal) s.restoreRect = s.rect;
    s.showState = next;
  };
  switch (command) {
    case SW_HIDE:
      s.visible = false;
      activate = false;
      break;
    case SW_SHOWNA:
      activate = false;
      [[fallthrough]];
    case SW_SHOW:
      s.visible = true;
      break;
    case SW_SHOWNOACTIVATE:
      activate = false;
      [[fallthrough]];
    case SW_SHOWNORMAL:
    case SW_RESTORE:
      s.visible = true;
      if (s.showState == ShowState::Minimized) setState(s.beforeMinimize);
      else setState(ShowState::Normal);
      break;
    case SW_MAXIMIZE:
      s.visible = true;
      // A fullscreen window is maximised already.
      if (s.showState != ShowState::Fullscreen) setState(ShowState::Maximized);
      break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
      s.visible = true;
      activate = command == SW_SHOWMINIMIZED;
      setState(ShowState::Minimized);
      break;
    default:
      return wasVisible;
  }
  bool stateChanged = s.showState != before;
  Rect target = s.rect;
  if (stateChanged) {
    if (s.showState == ShowState::Maximized && before != ShowState::Minimized) target = B().WorkArea();
    if (s.showState == ShowState::Normal) target = s.restoreRect;
  }
  if (stateChanged || s.visible != wasVisible) {
    Changed(*this, kChangeVisibility | kChangeShowState);
    if (s.visible != wasVisible) Framework::Call(*this, WM_SHOWWINDOW, s.visible ? 1 : 0, 0);
  }
  if (stateChanged) {
    // Owned popups hide with a minimised owner and come back with it.
    for (Window* owned : GetOwnedWindows()) {
      bool hide = s.showState == ShowState::Minimized;
      if (State(*owned).hiddenByOwner != hide) {
        State(*owned).hiddenByOwner = hide;
        Changed(*owned, kChangeVisibility);
      }
    }
    if (target != s.rect) {
      ShowState keep = s.showState;
      SetWindowPos(0, target.left, target.top, target.Width(), target.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
      s.showState = keep == ShowState::Maximized && target == ScreenRect() ? ShowState::Fullscreen : keep;
    } else {
      Framework::Call(*this, WM_SIZE, SizeType(s.showState),
                      MAKELPARAM(WORD(s.rect.Width()), WORD(s.rect.Height())));
    }
  }
  if (s.visible && !wasVisible) InvalidateRect(nullptr, true);
  bool hidOrMinimized = !s.visible || s.showState == ShowState::Minimized;
  if (hidOrMinimized && G().foreground == s.hwnd && (wasVisible || stateChanged)) {
    G().foreground = 0;
    Framework::Call(*this, WM_ACTIVATE, WA_INACTIVE, 0);
    Framework::ActivateNext(s.owner, s.hwnd);
  } else if (activate && s.visible && s.showState != ShowState::Minimized) {
    Framework::Activate(this);
  }
  return wasVisible;
}

bool Window::IsWindowVisible() const {
  const Window* w = this;
  while (w) {
    const auto& s = State(*w);
    if (!s.hwnd || !s.visible || s.hiddenByOwner) return false;
    if (!(s.style & WS_CHILD)) return true;
    if (Window* p = w->GetParent()) {
      w = p;
    } else {
      return !s.parent || G().backend->ForeignIsVisible(s.parent);
    }
  }
  return false;
}

bool Window::IsZoomed() const {
  return state_->showState == ShowState::Maximized || state_->showState == ShowState::Fullscreen;
}
bool Window::IsIconic() const { return state_->showState == ShowState::Minimized; }
ShowState Window::GetShowState() const { return state_->showState; }
Rect Window::GetRestoredRect() const { return state_->showState == ShowState::Normal ? state_->rect : state_->restoreRect; }

bool Window::EnableWindow(bool enable) {
  auto& s = *state_;
  bool wasDisabled = (s.style & WS_DISABLED) != 0;
  if (enable) s.style &= ~WS_DISABLED;
  else s.style |= WS_DISABLED;
  if (wasDisabled == enable && s.hwnd) {
    Changed(*this, kChangeEnabled);
    Framework::Call(*this, WM_ENABLE, enable ? 1 : 0, 0);
    if (!enable && G().capture == s.hwnd) G().capture = 0;
  }
  return wasDisabled;
}

bool Window::IsWindowEnabled() const { return state_->hwnd && !(state_->style & WS_DISABLED); }

// ---------------------------------------------------------------------------
// Activation and focus

bool Window::SetForegroundWindow() {
  if (!state_->hwnd) return false;
  Framework::Activate(GetTopLevelParent());
  return true;
}

Window* Window::SetActiveWindow() {
  Window* old = LocalWindow(G().foreground);
  Framework::Activate(GetTopLevelParent());
  return old;
}

Window* Window::SetFocus() {
  Window* old = LocalWindow(G().focus);
  if (!state_->hwnd || G().focus == state_->hwnd) return old;
  G().focus = state_->hwnd;
  if (old) Framework::Call(*old, WM_KILLFOCUS, state_->hwnd, 0);
  Framework::Call(*this, WM_SETFOCUS, old ? old->GetSafeHwnd() : 0, 0);
  return old;
}

Window* Window::GetLastActivePopup() const {
  Window* top = GetTopLevelParent();
  Window* popup = LocalWindow(State(*top).lastActivePopup);
  if (!popup || popup == top || !popup->IsWindowVisible()) return top;
  for (Window* o = popup->GetOwner(); o; o = o->GetOwner())
    if (o == top) return popup;
  return top;
}

bool Window::IsTopParentActive() const {
  if (!state_->hwnd) return false;
  HWND fg = G().foreground;
  return fg && fg == GetTopLevelParent()->GetLastActivePopup()->GetSafeHwnd();
}

// ---------------------------------------------------------------------------
// Messages

LRESULT Window::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ui::SendMessage(state_->hwnd, message, wParam, lParam);
}

bool Window::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ui::PostMessage(state_->hwnd, message, wParam, lParam);
}

bool Window::PreTranslateMessage(Msg&) { return false; }

UINT_PTR Window::SetTimer(UINT_PTR id, UINT elapseMs) { return ui::SetTimer(state_->hwnd, id, elapseMs); }
bool Window::KillTimer(UINT_PTR id) { return ui::KillTimer(state_->hwnd, id); }

// ---------------------------------------------------------------------------
// Painting

void Window::InvalidateRect(const Rect* rect, bool erase) {
  auto& s = *state_;
  if (!s.hwnd) return;
  Rect client = GetClientRect();
  Rect r = rect ? rect->Intersect(client) : client;
  if (r.IsEmpty()) return;
  s.updateRegion.push_back(r);
  if (erase) s.eraseNeeded = true;
  // What shows changes with the paint cycle this asks for, which a render
  // (and so the next hit test) runs first.
  LookChanged(*this);
}

void Window::Invalidate(bool erase) { InvalidateRect(nullptr, erase); }

void Window::UpdateWindow() { Framework::PaintNow(*this); }

bool Window::GetUpdateRect(Rect* rect) const {
  Rect bounds;
  for (const Rect& r : state_->updateRegion) bounds = bounds.Union(r);
  if (rect) *rect = bounds;
  return !bounds.IsEmpty();
}

const std::vector<Rect>& Window::GetUpdateRegion() const { return state_->updateRegion; }
const PaintRecord& Window::GetLastPaint() const { return state_->lastPaint; }
const Surface& Window::GetBacking() const { return state_->backing; }

Surface Window::SnapshotParentBackground() const {
  Window* parent = GetParent();
  const auto& r = state_->rect;
  if (!parent) return Surface(r.Width(), r.Height());
  return parent->GetBacking().Snapshot({r.left, r.top, r.Width(), r.Height()});
}

COLORREF Window::GetBackgroundColor() const { return kNoColor; }

// ---------------------------------------------------------------------------
// Layered windows

bool Window::SetLayeredWindowAttributes(COLORREF colorKey, BYTE alpha, DWORD flags) {
  auto& s = *state_;
  if (!s.hwnd || !(s.exStyle & WS_EX_LAYERED)) return false;
  s.layered.hasAttributes = true;
  s.layered.colorKey = colorKey;
  s.layered.alpha = alpha;
  s.layered.flags = flags;
  Changed(*this, kChangeLayered);
  return true;
}

bool Window::UpdateLayeredWindow(const Point* destination, const Size* size, const Surface& picture, Point source,
                                 BYTE alpha, DWORD flags) {
  auto& s = *state_;
  if (!s.hwnd || !(s.exStyle & WS_EX_LAYERED) || picture.IsNull()) return false;
  Size sz = size ? *size : Size{picture.Width() - source.x, picture.Height() - source.y};
  if (sz.cx <= 0 || sz.cy <= 0) return false;
  Surface copy(sz.cx, sz.cy);
  copy.DrawSurfacePart(picture, source.x, source.y, sz.cx, sz.cy, 0, 0, Blend::Copy);
  s.picture = std::move(copy);
  s.layered.hasPicture = true;
  s.layered.alpha = alpha;
  s.layered.flags = flags;
  Point at = destination ? *destination : s.rect.TopLeft();
  SetWindowPos(0, at.x, at.y, sz.cx, sz.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  Changed(*this, kChangeLayered);
  return true;
}

const LayeredState& Window::GetLayeredState() const { return state_->layered; }
const Surface& Window::GetLayeredPicture() const { return state_->picture; }

bool Window::HitTestLayered(Point screen) const {
  const auto& s = *state_;
  if (!(s.exStyle & WS_EX_LAYERED)) return true;
  Rect r = GetWindowRect();
  if (!r.Contains(screen)) return false;
  int x = screen.x - r.left, y = screen.y - r.top;
  if (s.layered.hasPicture) return s.picture.GetPixel(x, y).a > 0;
  if (!s.layered.hasAttributes || !(s.layered.flags & LWA_COLORKEY)) return true;
  bool visible = IsWindowVisible();
  const auto& mask = s.hitMask;
  if (!mask || mask->version != s.lookVersion || mask->visible != visible) {
    const detail::WindowState* asked = state_.get();
    std::uint64_t version = s.lookVersion;
    Surface shown = RenderWindow(*const_cast<Window*>(this));
    // A paint handler run by the render may have changed the window again
    // (the version moved on: the mask made here is stale at once) or
    // destroyed it (its state is a fresh one, which gets no mask).
    bool hits = shown.GetPixel(x, y).a > 0;
    if (state_.get() != asked) return hits;
    state_->hitMask = detail::WindowState::HitMask{version, visible, shown.Width(), shown.Height(), shown.Alphas()};
    return hits;
  }
  return x < mask->width && y < mask->height && mask->alphas[std::size_t(y) * mask->width + x] > 0;
}

// ---------------------------------------------------------------------------
// Mouse

bool Window::TrackMouseEvent(DWORD flags, UINT hoverTimeMs) {
  auto& s = *state_;
  if (!s.hwnd) return false;
  if (flags & TME_CANCEL) {
    s.trackFlags &= ~flags;
    return true;
  }
  // Leave tracking asked while the pointer is elsewhere reports the leave at once.
  if ((flags & TME_LEAVE) && G().underPointer != s.hwnd) {
    PostMessage(WM_MOUSELEAVE, 0, 0);
    flags &= ~TME_LEAVE;
  }
  s.trackFlags |= flags;
  s.hoverTime = hoverTimeMs;
  return true;
}

DWORD Window::GetTrackMouseFlags() const { return state_->trackFlags; }

void Window::SetCapture() {
  if (state_->hwnd) G().capture = state_->hwnd;
}
void Window::ReleaseCapture() { G().capture = 0; }
Window* Window::GetCapture() { return LocalWindow(G().capture); }

bool Window::SubclassWindow(Window& existing) {
  if (state_->hwnd || !existing.state_->hwnd) return false;
  std::swap(state_, existing.state_);
  state_->self = this;
  existing.state_->self = &existing;
  existing.state_->frameworkOwned = false;
  bool owned = state_->frameworkOwned;
  state_->frameworkOwned = false;
  {
    std::lock_guard lock(G().handlesMutex);
    G().handles[state_->hwnd] = this;
  }
  PreSubclassWindow();
  if (owned) delete &existing;
  return true;
}

void Window::PreSubclassWindow() {}

// ---------------------------------------------------------------------------
// Dispatch

const Msg& Window::GetCurrentMessage() const { return state_->current; }

LRESULT Window::Default() {
  const Msg& m = state_->current;
  return DefWindowProc(m.message, m.wParam, m.lParam);
}

LRESULT Window::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate();
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_COMMAND:
      return OnCommand(wParam, lParam) ? 0 : Default();
    case WM_SYSCOMMAND:
      OnSysCommand(UINT(wParam), lParam);
      return 0;
    case WM_TIMER:
      OnTimer(wParam);
      return 0;
    case WM_HOTKEY:
      OnHotKey(UINT(wParam), LOWORD(std::uintptr_t(lParam)), HIWORD(std::uintptr_t(lParam)));
      return 0;
    case WM_SIZE:
      OnSize(UINT(wParam), LOWORD(std::uintptr_t(lParam)), HIWORD(std::uintptr_t(lParam)));
      return 0;
    case WM_MOVE:
      OnMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_WINDOWPOSCHANGED:
      OnWindowPosChanged();
      return 0;
    case WM_ACTIVATE:
      OnActivate(LOWORD(wParam), HWND(lParam), HIWORD(wParam) != 0);
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_ERASEBKGND:
      if (!wParam) return 0;
      return OnEraseBkgnd(*reinterpret_cast<Surface*>(wParam)) ? 1 : 0;
    case WM_PAINT:
      if (!wParam) {
        UpdateWindow();
        return 0;
      }
      OnPaint(*reinterpret_cast<Surface*>(wParam));
      return 0;
    case WM_NCHITTEST:
      return OnNcHitTest({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_NCLBUTTONDOWN:
      OnNcLButtonDown(UINT(wParam), {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_LBUTTONDOWN:
      OnLButtonDown(UINT(wParam), {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_LBUTTONUP:
      OnLButtonUp(UINT(wParam), {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_LBUTTONDBLCLK:
      OnLButtonDblClk(UINT(wParam), {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_RBUTTONDOWN:
      OnRButtonDown(UINT(wParam), {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_RBUTTONUP:
      OnRButtonUp(UINT(wParam), {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(UINT(wParam), {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_MOUSEHOVER:
      return OnMouseHover(UINT(wParam), {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_MOUSELEAVE:
      return OnMouseLeave();
    case WM_SETCURSOR:
      return OnSetCursor(HWND(wParam), LOWORD(std::uintptr_t(lParam)), HIWORD(std::uintptr_t(lParam))) ? 1 : 0;
    case WM_KEYDOWN:
      OnKeyDown(UINT(wParam), LOWORD(std::uintptr_t(lParam)), HIWORD(std::uintptr_t(lParam)));
      return 0;
    case WM_KEYUP:
      OnKeyUp(UINT(wParam), LOWORD(std::uintptr_t(lParam)), HIWORD(std::uintptr_t(lParam)));
      return 0;
    case WM_SYSKEYDOWN:
      OnSysKeyDown(UINT(wParam), LOWORD(std::uintptr_t(lParam)), HIWORD(std::uintptr_t(lParam)));
      return 0;
    default:
      return DefWindowProc(message, wParam, lParam);
  }
}

LRESULT Window::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_MAXIMIZE:
          ShowWindow(SW_MAXIMIZE);
          break;
        case SC_MINIMIZE:
          ShowWindow(SW_MINIMIZE);
          break;
        case SC_RESTORE:
          if (IsIconic() || IsZoomed()) ShowWindow(SW_RESTORE);
          break;
        case SC_CLOSE:
          SendMessage(WM_CLOSE);
          break;
        default:
          break;
      }
      return 0;
    case WM_CLOSE:
      DestroyWindow();
      return 0;
    case WM_NCHITTEST:
      return GetWindowRect().Contains({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) ? HTCLIENT : HTNOWHERE;
    case WM_NCLBUTTONDOWN:
      if (LRESULT(wParam) == HTCAPTION && G().leftDown && !IsZoomed() && !IsIconic()) {
        Window* top = GetTopLevelParent();
        Point at = GetCursorPos();
        if (!G().backend->BeginMoveDrag(*top, at)) G().drag = {top->GetSafeHwnd(), at, top->GetWindowRect().TopLeft()};
      }
      return 0;
    case WM_SYSKEYDOWN:
      if (wParam == VK_F4 && (G().modifiers & MOD_ALT)) GetTopLevelParent()->SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
      return 0;
    case WM_ERASEBKGND: {
      COLORREF c = GetBackgroundColor();
      if (!wParam || c == kNoColor) return 0;
      Surface& surface = *reinterpret_cast<Surface*>(wParam);
      Rect r = GetClientRect();
      surface.FillRect({0, 0, r.Width(), r.Height()}, Rgba{GetRValue(c), GetGValue(c), GetBValue(c), 255}, Blend::Copy);
      return 1;
    }
    case WM_SETCURSOR:
      ui::SetCursor(Cursor::Arrow);
      return 0;
    case WM_MOUSEACTIVATE:
      return 1;  // MA_ACTIVATE
    default:
      return 0;
  }
}

int Window::OnCreate() { return 0; }
void Window::OnDestroy() { Default(); }
bool Window::OnCommand(WPARAM, LPARAM) { return false; }
void Window::OnSysCommand(UINT, LPARAM) { Default(); }
void Window::OnTimer(UINT_PTR) { Default(); }
void Window::OnHotKey(UINT, UINT, UINT) { Default(); }
void Window::OnSize(UINT, int, int) { Default(); }
void Window::OnMove(int, int) { Default(); }
void Window::OnWindowPosChanged() { Default(); }
void Window::OnActivate(UINT, HWND, bool) { Default(); }
void Window::OnClose() { Default(); }
bool Window::OnEraseBkgnd(Surface&) { return Default() != 0; }
void Window::OnPaint(Surface&) {}
LRESULT Window::OnNcHitTest(Point) { return Default(); }
void Window::OnNcLButtonDown(UINT, Point) { Default(); }
void Window::OnLButtonDown(UINT, Point) { Default(); }
void Window::OnLButtonUp(UINT, Point) { Default(); }
void Window::OnLButtonDblClk(UINT, Point) { Default(); }
void Window::OnRButtonDown(UINT, Point) { Default(); }
void Window::OnRButtonUp(UINT, Point) { Default(); }
void Window::OnMouseMove(UINT, Point) { Default(); }
LRESULT Window::OnMouseHover(UINT, Point) { return Default(); }
LRESULT Window::OnMouseLeave() { return Default(); }
bool Window::OnSetCursor(HWND, UINT, UINT) { return Default() != 0; }
void Window::OnKeyDown(UINT, UINT, UINT) { Default(); }
void Window::OnKeyUp(UINT, UINT, UINT) { Default(); }
void Window::OnSysKeyDown(UINT, UINT, UINT) { Default(); }

}  // namespace ui
