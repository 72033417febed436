#include "ui/gtk/DesktopBackend.h"

#include <unistd.h>

#include "ui/Browser.h"
#include "ui/FrameworkState.h"
#include "ui/Input.h"
#include "ui/gtk/HotkeyTable.h"
#include "ui/gtk/NativeWindow.h"
#include "ui/gtk/PopupMenu.h"
#include "ui/gtk/TrayIcons.h"
#include "ui/gtk/X11Link.h"
// Last: the X headers define macros that collide with names above.
#include <gdk/gdkx.h>

namespace ui::gtk {

namespace {

// The taskbar the client looks for ("Shell_TrayWnd"): the part of the screen
// below the desktop's work area. It has no X window of its own.
constexpr HWND kTaskbarHandle = HWND(0x7FFFFFFF00000001ull);  // above any process id

// Pointer positions younger than this are taken from input events instead of
// asking the X server again.
constexpr gint64 kPointerFreshUs = 20000;

DesktopBackend* g_current = nullptr;

struct TimerData {
  HWND hwnd;
  UINT_PTR id;
};

}  // namespace

DesktopBackend::DesktopBackend()
    : display_(gdk_display_get_default()),
      hotkeys_(std::make_unique<HotkeyTable>()),
      tray_(std::make_unique<TrayIcons>(*this)),
      link_(std::make_unique<X11Link>(display_)),
      nextChildHandle_((HWND(getpid()) << 32) | 0x10) {
  g_current = this;
  cursors_[0] = gdk_cursor_new_from_name(display_, "default");
  cursors_[1] = gdk_cursor_new_from_name(display_, "pointer");
}

DesktopBackend::~DesktopBackend() {
  for (auto& [key, source] : timers_) g_source_remove(source);
  if (focusCheck_) g_source_remove(focusCheck_);
  natives_.clear();
  for (GdkCursor* cursor : cursors_)
    if (cursor) g_object_unref(cursor);
  if (g_current == this) g_current = nullptr;
}

DesktopBackend* DesktopBackend::Current() { return g_current; }

NativeWindow* DesktopBackend::NativeOf(HWND hwnd) const {
  auto it = natives_.find(hwnd);
  return it == natives_.end() ? nullptr : it->second.get();
}

bool DesktopBackend::IsOwnNative(HWND hwnd) const { return natives_.count(hwnd) != 0; }

NativeWindow* DesktopBackend::HostOf(ui::Window& window, Point* offset) const {
  Point at{};
  ui::Window* w = &window;
  while (w) {
    if (NativeWindow* native = NativeOf(w->GetSafeHwnd())) {
      if (offset) *offset = at;
      return native;
    }
    const Rect& r = Framework::State(*w).rect;
    at.x += r.left;
    at.y += r.top;
    w = w->GetParent();
  }
  return nullptr;
}

bool DesktopBackend::HasWindowManager() const {
  GdkScreen* screen = gdk_display_get_default_screen(display_);
  const char* name = gdk_x11_screen_get_window_manager_name(screen);
  return name && g_strcmp0(name, "unknown") != 0;
}

void DesktopBackend::NotePointer(Point screen) {
  pointer_ = screen;
  pointerTime_ = g_get_monotonic_time();
}

// ===== The screen =====

Size DesktopBackend::ScreenSize() const {
  GdkWindow* root = gdk_get_default_root_window();
  return {gdk_window_get_width(root), gdk_window_get_height(root)};
}

Rect DesktopBackend::WorkArea() const {
  GdkMonitor* monitor = gdk_display_get_primary_monitor(display_);
  if (!monitor) monitor = gdk_display_get_monitor(display_, 0);
  if (!monitor) return {0, 0, ScreenSize().cx, ScreenSize().cy};
  GdkRectangle area;
  gdk_monitor_get_workarea(monitor, &area);
  return Rect::FromXYWH(area.x, area.y, area.width, area.height);
}

Point DesktopBackend::CursorPos() const {
  gint64 now = g_get_monotonic_time();
  if (now - pointerTime_ > kPointerFreshUs) {
    GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(display_));
    int x = 0, y = 0;
    if (pointer) gdk_device_get_position(pointer, nullptr, &x, &y);
    pointer_ = {x, y};
    pointerTime_ = now;
  }
  return pointer_;
}

void DesktopBackend::SetCursor(Cursor cursor) {
  GdkCursor* shape = cursors_[cursor == Cursor::Hand ? 1 : 0];
  for (auto& [hwnd, native] : natives_) native->ApplyCursor(shape);
}

// ===== Native windows =====

HWND DesktopBackend::CreateNative(ui::Window& window) {
  const detail::WindowState& s = Framework::State(window);
  bool child = (s.style & WS_CHILD) != 0;
  // A child of one of our windows is drawn into its native ancestor; a child
  // of another process's window is docked there as a native window of its own.
  if (child && (ui::Window::FromHandle(s.parent) || !link_->WindowExists(s.parent))) return nextChildHandle_++;
  if (child) link_->TolerateVanishedWindows();
  auto native = std::make_unique<NativeWindow>(*this, window);
  HWND hwnd = native->Handle();
  natives_[hwnd] = std::move(native);
  return hwnd;
}

void DesktopBackend::DestroyNative(ui::Window& window) {
  HWND hwnd = window.GetSafeHwnd();
  for (auto it = timers_.begin(); it != timers_.end();) {
    if (it->first.hwnd == hwnd) {
      g_source_remove(it->second);
      it = timers_.erase(it);
    } else {
      ++it;
    }
  }
  natives_.erase(hwnd);
  if (hosted_.count(hwnd)) RemoveHostedWidget(hwnd);
}

void DesktopBackend::WindowChanged(ui::Window& window, unsigned changes) {
  if (NativeWindow* native = NativeOf(window.GetSafeHwnd())) {
    native->Sync(changes);
    if (changes & kChangeVisibility) Restack();
  }
  if (changes & (kChangeGeometry | kChangeVisibility | kChangeParent | kChangeEnabled | kChangeShowState))
    PlaceHostedWidgets();
  if (!NativeOf(window.GetSafeHwnd()) && (changes & (kChangeGeometry | kChangeVisibility | kChangeParent))) {
    // A plain child moved or appeared: its native ancestor composes again.
    if (NativeWindow* host = HostOf(window, nullptr)) host->ContentChanged();
  }
}

void DesktopBackend::Present(ui::Window& window, const Rect&) {
  if (NativeWindow* host = HostOf(window, nullptr)) host->ContentChanged();
}

void DesktopBackend::Activate(ui::Window& window) {
  if (window.GetSafeHwnd() != activatedByDesktop_) {
    if (NativeWindow* native = NativeOf(window.GetSafeHwnd())) native->Present();
  }
  Restack();
}

void DesktopBackend::Restack() {
  // The framework's order, bottom first: owned windows stay above their
  // owner also where no window manager keeps them there.
  for (HWND hwnd : G().zOrder)
    if (NativeWindow* native = NativeOf(hwnd)) native->Raise();
}

void DesktopBackend::ReportActivation(HWND hwnd) {
  activatedByDesktop_ = hwnd;
  input::Activated(hwnd);
  activatedByDesktop_ = 0;
}

bool DesktopBackend::BeginMoveDrag(ui::Window& window, Point screen) {
  NativeWindow* native = NativeOf(window.GetSafeHwnd());
  if (!native || !native->BeginMoveDrag(screen)) return false;
  // The desktop has the button from here on; the release never reaches us.
  G().leftDown = false;
  return true;
}

// ===== Hosted widgets =====

void DesktopBackend::AddHostedWidget(HWND child, GtkWidget* widget) {
  hosted_[child] = widget;
  PlaceHostedWidgets();
}

void DesktopBackend::RemoveHostedWidget(HWND child) {
  auto it = hosted_.find(child);
  if (it == hosted_.end()) return;
  GtkWidget* widget = it->second;
  hosted_.erase(it);
  if (GtkWidget* parent = gtk_widget_get_parent(widget)) gtk_container_remove(GTK_CONTAINER(parent), widget);
}

HWND DesktopBackend::WindowOfWidget(GtkWidget* widget) const {
  for (auto& [hwnd, w] : hosted_)
    if (w == widget) return hwnd;
  return 0;
}

void DesktopBackend::PlaceHostedWidgets() {
  for (auto& [hwnd, widget] : hosted_) {
    ui::Window* w = ui::Window::FromHandle(hwnd);
    if (!w) continue;
    Point offset;
    NativeWindow* host = HostOf(*w, &offset);
    if (!host) continue;
    Rect r = w->GetClientRect().Offset(offset.x, offset.y);
    host->Host(widget, r, w->IsWindowVisible(), w->GetTopLevelParent()->IsWindowEnabled());
  }
}

// ===== Focus =====

void DesktopBackend::ScheduleFocusCheck() {
  if (!focusCheck_) focusCheck_ = g_timeout_add(50, OnFocusCheck, this);
}

gboolean DesktopBackend::OnFocusCheck(gpointer data) {
  auto* self = static_cast<DesktopBackend*>(data);
  self->focusCheck_ = 0;
  for (auto& [hwnd, native] : self->natives_)
    if (gtk_window_is_active(GTK_WINDOW(native->Widget()))) return G_SOURCE_REMOVE;
  if (G().foreground) input::OtherApplicationActivated();
  return G_SOURCE_REMOVE;
}

// ===== The loop =====

void DesktopBackend::Wake() { g_main_context_wakeup(nullptr); }

void DesktopBackend::WaitForEvents(const LoopContext&) { g_main_context_iteration(nullptr, TRUE); }

void DesktopBackend::BeforeModal(Dialog&) {}

// ===== Timers =====

gboolean DesktopBackend::OnTimer(gpointer data) {
  auto* timer = static_cast<TimerData*>(data);
  input::TimerFired(timer->hwnd, timer->id);
  return G_SOURCE_CONTINUE;
}

void DesktopBackend::StartTimer(HWND hwnd, UINT_PTR id, UINT elapseMs) {
  StopTimer(hwnd, id);
  auto* data = new TimerData{hwnd, id};
  timers_[{hwnd, id}] = g_timeout_add_full(G_PRIORITY_DEFAULT, elapseMs, OnTimer, data,
                                           [](gpointer p) { delete static_cast<TimerData*>(p); });
}

void DesktopBackend::StopTimer(HWND hwnd, UINT_PTR id) {
  auto it = timers_.find({hwnd, id});
  if (it == timers_.end()) return;
  g_source_remove(it->second);
  timers_.erase(it);
}

// ===== Hotkeys, tray, menus =====

bool DesktopBackend::RegisterHotKey(HWND hwnd, int id, UINT modifiers, UINT virtualKey) {
  return hotkeys_->Register(hwnd, id, modifiers, virtualKey);
}

bool DesktopBackend::UnregisterHotKey(HWND hwnd, int id) { return hotkeys_->Unregister(hwnd, id); }

bool DesktopBackend::NotifyIcon(DWORD message, const NotifyIconData& data) { return tray_->Notify(message, data); }

UINT DesktopBackend::TrackPopupMenu(const Menu& menu, Point screen, HWND owner) {
  NativeWindow* native = NativeOf(owner);
  return RunPopupMenu(menu, screen, native ? gtk_widget_get_window(native->Widget()) : nullptr);
}

// ===== Windows of other processes =====

bool DesktopBackend::IsForeignWindow(HWND hwnd) {
  if (hwnd == kTaskbarHandle) return true;
  return !ui::Window::FromHandle(hwnd) && link_->WindowExists(hwnd);
}

LRESULT DesktopBackend::SendForeign(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (hwnd == kTaskbarHandle) return 0;
  return link_->Send(hwnd, message, wParam, lParam);
}

bool DesktopBackend::PostForeign(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (hwnd == kTaskbarHandle) return true;
  return link_->Post(hwnd, message, wParam, lParam);
}

bool DesktopBackend::ForeignWindowRect(HWND hwnd, Rect* screenRect) {
  if (hwnd == kTaskbarHandle) {
    Size screen = ScreenSize();
    Rect work = WorkArea();
    *screenRect = {0, work.bottom, screen.cx, screen.cy};
    return true;
  }
  return link_->WindowRect(hwnd, screenRect);
}

bool DesktopBackend::ForeignClientRect(HWND hwnd, Rect* clientRect) {
  Rect r;
  if (!ForeignWindowRect(hwnd, &r)) return false;
  *clientRect = {0, 0, r.Width(), r.Height()};
  return true;
}

bool DesktopBackend::ForeignIsVisible(HWND hwnd) {
  if (hwnd == kTaskbarHandle) return true;
  return link_->IsMapped(hwnd);
}

HWND DesktopBackend::FindForeignWindow(const wchar_t* className, const wchar_t* windowName) {
  if (std::wstring_view(className) == L"Shell_TrayWnd" && (!windowName || !*windowName)) return kTaskbarHandle;
  return 0;
}

}  // namespace ui::gtk
