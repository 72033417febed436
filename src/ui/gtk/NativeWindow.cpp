#include "ui/gtk/NativeWindow.h"

#include <cstdlib>
#include <cstring>

#include "platform/Text.h"
#include "ui/Browser.h"
#include "ui/FrameworkState.h"
#include "ui/Input.h"
#include "ui/gtk/DesktopBackend.h"
#include "ui/gtk/KeyMap.h"
// Last: the X headers define macros that collide with names above.
#include <gdk/gdkx.h>

namespace ui::gtk {

namespace {

NativeWindow& Me(gpointer self) { return *static_cast<NativeWindow*>(self); }

// The children's retained pixels over the parent's, clipped to the parent.
// Browser windows are native widgets of their own and are skipped.
void ComposeChildren(ui::Window& window, Surface& target, int originX, int originY, const Rect& clip) {
  for (ui::Window* child : window.GetChildren()) {
    if (!child->IsWindowVisible() || child->GetClassName() == kBrowserWindowClass) continue;
    Rect r = Framework::State(*child).rect;
    Rect placed = Rect::FromXYWH(originX + r.left, originY + r.top, r.Width(), r.Height());
    Rect visible = placed.Intersect(clip);
    if (visible.IsEmpty()) continue;
    target.SetClip({visible.left, visible.top, visible.Width(), visible.Height()});
    target.DrawSurface(child->GetBacking(), placed.left, placed.top);
    target.ResetClip();
    ComposeChildren(*child, target, placed.left, placed.top, visible);
  }
}

// Pixels of the colour key (opaque, exactly the key) become transparent.
void ClearColourKey(Surface& surface, COLORREF key) {
  cairo_surface_t* s = surface.CairoSurface();
  cairo_surface_flush(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  int stride = cairo_image_surface_get_stride(s);
  std::uint32_t keyPixel = 0xFF000000u | (std::uint32_t(GetRValue(key)) << 16) | (std::uint32_t(GetGValue(key)) << 8) |
                           GetBValue(key);
  for (int y = 0; y < surface.Height(); ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + y * stride);
    for (int x = 0; x < surface.Width(); ++x)
      if (row[x] == keyPixel) row[x] = 0;
  }
  cairo_surface_mark_dirty(s);
}

// The area of pixels that are not fully transparent.
cairo_region_t* OpaqueRegion(const Surface& surface) {
  int width = surface.Width(), height = surface.Height();
  cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A1, width, height);
  cairo_surface_t* s = surface.CairoSurface();
  cairo_surface_flush(s);
  const unsigned char* data = cairo_image_surface_get_data(s);
  int stride = cairo_image_surface_get_stride(s);
  unsigned char* bits = cairo_image_surface_get_data(mask);
  int maskStride = cairo_image_surface_get_stride(mask);
  std::memset(bits, 0, size_t(maskStride) * height);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
    auto* out = reinterpret_cast<std::uint32_t*>(bits + y * maskStride);
    for (int x = 0; x < width; ++x) {
      if (row[x] >> 24) {
        // A1 bits are in native 32-bit words, least significant bit first
        // on little-endian machines.
#if G_BYTE_ORDER == G_LITTLE_ENDIAN
        out[x / 32] |= 1u << (x % 32);
#else
        out[x / 32] |= 0x80000000u >> (x % 32);
#endif
      }
    }
  }
  cairo_surface_mark_dirty(mask);
  cairo_region_t* region = gdk_cairo_region_create_from_surface(mask);
  cairo_surface_destroy(mask);
  return region;
}

bool IsLayeredOnDesktop(const detail::WindowState& s) {
  return (s.exStyle & WS_EX_LAYERED) &&
         (s.layered.hasPicture || (s.layered.hasAttributes && (s.layered.flags & LWA_COLORKEY)));
}

}  // namespace

NativeWindow::NativeWindow(DesktopBackend& backend, ui::Window& window) : backend_(backend) {
  const detail::WindowState& s = Framework::State(window);
  docked_ = (s.style & WS_CHILD) != 0;
  window_ = gtk_window_new(docked_ ? GTK_WINDOW_POPUP : GTK_WINDOW_TOPLEVEL);
  gtk_window_set_decorated(GTK_WINDOW(window_), FALSE);
  gtk_window_set_focus_on_map(GTK_WINDOW(window_), FALSE);
  gtk_window_set_title(GTK_WINDOW(window_), platform::ToUtf8(s.text).c_str());
  // Per-pixel alpha (the login picture) needs an RGBA visual; every window
  // gets one so that a window may become layered after it exists.
  if (GdkVisual* rgba = gdk_screen_get_rgba_visual(gtk_widget_get_screen(window_)))
    gtk_widget_set_visual(window_, rgba);
  gtk_widget_set_app_paintable(window_, TRUE);
  if (NativeWindow* owner = backend_.NativeOf(s.owner); owner && !docked_) {
    gtk_window_set_transient_for(GTK_WINDOW(window_), GTK_WINDOW(owner->Widget()));
    gtk_window_set_skip_taskbar_hint(GTK_WINDOW(window_), TRUE);
  }

  // The window itself shows the framework's pixels, under its children: the
  // browser views draw on the window's own surface and must stay above.
  fixed_ = gtk_fixed_new();
  gtk_container_add(GTK_CONTAINER(window_), fixed_);
  gtk_widget_show(fixed_);
  gtk_widget_add_events(window_, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK |
                                     GDK_LEAVE_NOTIFY_MASK | GDK_ENTER_NOTIFY_MASK);
  // Kept alive by us: the toolkit destroys a window whose X window the X
  // server destroyed (a docked window whose frame went away).
  g_object_ref(window_);

  g_signal_connect(window_, "destroy", G_CALLBACK(OnDestroyed), this);
  g_signal_connect(window_, "draw", G_CALLBACK(OnDraw), this);
  g_signal_connect(window_, "button-press-event", G_CALLBACK(OnButtonPress), this);
  g_signal_connect(window_, "button-release-event", G_CALLBACK(OnButtonRelease), this);
  g_signal_connect(window_, "motion-notify-event", G_CALLBACK(OnMotion), this);
  g_signal_connect(window_, "leave-notify-event", G_CALLBACK(OnLeave), this);
  g_signal_connect(window_, "key-press-event", G_CALLBACK(OnKey), this);
  g_signal_connect(window_, "key-release-event", G_CALLBACK(OnKey), this);
  g_signal_connect(window_, "focus-in-event", G_CALLBACK(OnFocusIn), this);
  g_signal_connect(window_, "focus-out-event", G_CALLBACK(OnFocusOut), this);
  g_signal_connect(window_, "delete-event", G_CALLBACK(OnDelete), this);
  g_signal_connect(window_, "configure-event", G_CALLBACK(OnConfigure), this);
  g_signal_connect(window_, "window-state-event", G_CALLBACK(OnWindowState), this);

  Rect r = s.rect;
  gtk_widget_set_size_request(window_, std::max(1, r.Width()), std::max(1, r.Height()));
  gtk_window_resize(GTK_WINDOW(window_), std::max(1, r.Width()), std::max(1, r.Height()));
  gtk_window_move(GTK_WINDOW(window_), r.left, r.top);
  appliedRect_ = r;
  gtk_widget_realize(window_);
  hwnd_ = HWND(GDK_WINDOW_XID(gtk_widget_get_window(window_)));
  if (docked_) Dock(s.parent, r);
}

NativeWindow::~NativeWindow() {
  if (composeIdle_) g_source_remove(composeIdle_);
  g_signal_handlers_disconnect_by_data(window_, this);
  if (!gone_) gtk_widget_destroy(window_);
  g_object_unref(window_);
  if (shape_) cairo_region_destroy(shape_);
}

// Events on a child's own surface (a browser view) belong to that child.
bool NativeWindow::IsOwnSurface(GdkWindow* surface) const { return surface == gtk_widget_get_window(window_); }

void NativeWindow::OnDestroyed(GtkWidget*, gpointer self) {
  NativeWindow& me = Me(self);
  me.gone_ = true;
  if (me.composeIdle_) g_source_remove(me.composeIdle_);
  me.composeIdle_ = 0;
}

ui::Window* NativeWindow::Self() const { return ui::Window::FromHandle(hwnd_); }

Point NativeWindow::ToScreen(double x, double y) const {
  ui::Window* w = Self();
  Point origin = w ? w->GetWindowRect().TopLeft() : Point{};
  return {origin.x + int(x), origin.y + int(y)};
}

void NativeWindow::Dock(HWND parent, const Rect& rect) {
  dockParent_ = parent;
  GdkDisplay* display = gtk_widget_get_display(window_);
  GdkWindow* foreign = gdk_x11_window_foreign_new_for_display(display, ::Window(parent));
  if (!foreign) return;
  gdk_window_reparent(gtk_widget_get_window(window_), foreign, rect.left, rect.top);
  g_object_unref(foreign);
}

void NativeWindow::Sync(unsigned changes) {
  ui::Window* w = Self();
  if (!w || gone_) return;
  const detail::WindowState& s = Framework::State(*w);
  if (changes & kChangeText) gtk_window_set_title(GTK_WINDOW(window_), platform::ToUtf8(s.text).c_str());
  if (docked_ && (changes & kChangeParent) && s.parent != dockParent_ && s.parent) Dock(s.parent, s.rect);
  if (changes & (kChangeGeometry | kChangeShowState | kChangeParent)) SyncGeometry(*w);
  if (changes & (kChangeVisibility | kChangeShowState)) SyncVisibility(*w);
  if (changes & (kChangeLayered | kChangeStyle)) {
    // Constant alpha needs a compositor to blend with what is below; without
    // one the window stays opaque (the toolkit would only darken it).
    bool alpha = (s.exStyle & WS_EX_LAYERED) && s.layered.hasAttributes && (s.layered.flags & LWA_ALPHA) &&
                 gdk_screen_is_composited(gtk_widget_get_screen(window_));
    gtk_widget_set_opacity(window_, alpha ? s.layered.alpha / 255.0 : 1.0);
  }
  if (changes & (kChangeLayered | kChangeStyle | kChangeGeometry)) ContentChanged();
}

void NativeWindow::SyncGeometry(ui::Window& w) {
  const detail::WindowState& s = Framework::State(w);
  Rect r = s.rect;
  if (r == appliedRect_) return;
  appliedRect_ = r;
  int width = std::max(1, r.Width()), height = std::max(1, r.Height());
  gtk_widget_set_size_request(window_, width, height);
  gtk_window_resize(GTK_WINDOW(window_), width, height);
  // A docked window's place is in its parent's coordinates, which is where
  // the X server puts a child window.
  gtk_window_move(GTK_WINDOW(window_), r.left, r.top);
  // The X window takes the geometry at once: the toolkit's own request can
  // stay behind while an earlier one is still being configured (a window
  // shown again and resized right after).
  if (gtk_widget_get_realized(window_))
    gdk_window_move_resize(gtk_widget_get_window(window_), r.left, r.top, width, height);
}

void NativeWindow::SyncVisibility(ui::Window& w) {
  const detail::WindowState& s = Framework::State(w);
  bool wm = backend_.HasWindowManager();
  bool minimised = s.showState == ShowState::Minimized;
  // Without a window manager nothing shows a minimised window: it is hidden.
  bool show = s.visible && !s.hiddenByOwner && (wm || !minimised || docked_);
  if (!show) {
    if (mapped_) gtk_widget_hide(window_);
    mapped_ = false;
    return;
  }
  if (!mapped_) {
    gtk_widget_show(window_);
    mapped_ = true;
    if (docked_) gdk_window_show(gtk_widget_get_window(window_));
  }
  // Without a window manager the framework's rectangle is all there is to a
  // show state; the toolkit's state requests would only hold sizes back.
  if (docked_ || !wm || s.showState == appliedState_) return;
  GtkWindow* gw = GTK_WINDOW(window_);
  switch (s.showState) {
    case ShowState::Minimized:
      iconic_ = true;
      gtk_window_iconify(gw);
      break;
    case ShowState::Maximized:
      if (appliedState_ == ShowState::Minimized) gtk_window_deiconify(gw);
      gtk_window_unfullscreen(gw);
      gtk_window_maximize(gw);
      break;
    case ShowState::Fullscreen:
      if (appliedState_ == ShowState::Minimized) gtk_window_deiconify(gw);
      gtk_window_fullscreen(gw);
      break;
    case ShowState::Normal:
      if (appliedState_ == ShowState::Minimized) gtk_window_deiconify(gw);
      gtk_window_unfullscreen(gw);
      gtk_window_unmaximize(gw);
      break;
  }
  if (s.showState != ShowState::Minimized) iconic_ = false;
  appliedState_ = s.showState;
}

void NativeWindow::ContentChanged() {
  if (!composeIdle_ && !gone_) composeIdle_ = g_idle_add_full(G_PRIORITY_HIGH_IDLE, OnComposeIdle, this, nullptr);
}

gboolean NativeWindow::OnComposeIdle(gpointer self) {
  NativeWindow& me = Me(self);
  me.composeIdle_ = 0;
  me.Compose();
  me.ApplyShape();
  gtk_widget_queue_draw(me.window_);
  return G_SOURCE_REMOVE;
}

void NativeWindow::Compose() {
  ui::Window* w = Self();
  if (!w) return;
  const detail::WindowState& s = Framework::State(*w);
  layered_ = IsLayeredOnDesktop(s);
  if (s.layered.hasPicture && (s.exStyle & WS_EX_LAYERED)) {
    shown_ = w->GetLayeredPicture().Clone();
    return;
  }
  Rect client = w->GetClientRect();
  Surface out(client.Width(), client.Height());
  if (!out.IsNull()) {
    out.DrawSurface(w->GetBacking(), 0, 0, 1.0, Blend::Copy);
    ComposeChildren(*w, out, 0, 0, client);
    if (layered_) ClearColourKey(out, s.layered.colorKey);
  }
  shown_ = std::move(out);
}

void NativeWindow::ApplyShape() {
  cairo_region_t* region = layered_ && !shown_.IsNull() ? OpaqueRegion(shown_) : nullptr;
  // A new shape makes the desktop report the pointer crossing its edges
  // again; an unchanged one is left alone.
  bool same = region && shape_ ? cairo_region_equal(region, shape_) : region == shape_;
  if (same) {
    if (region) cairo_region_destroy(region);
    return;
  }
  // Transparent pixels neither show nor take the pointer, also on a desktop
  // without a compositor.
  gtk_widget_shape_combine_region(window_, region);
  gtk_widget_input_shape_combine_region(window_, region);
  if (shape_) cairo_region_destroy(shape_);
  shape_ = region;
}

gboolean NativeWindow::OnDraw(GtkWidget* widget, cairo_t* cr, gpointer self) {
  NativeWindow& me = Me(self);
  if (me.shown_.IsNull() || me.composeIdle_) {
    if (me.composeIdle_) {
      g_source_remove(me.composeIdle_);
      me.composeIdle_ = 0;
      me.ApplyShape();
    }
    me.Compose();
  }
  if (me.layered_) {
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  } else {
    // A plain window is opaque: what it did not paint is black.
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
  }
  if (!me.shown_.IsNull()) {
    cairo_set_source_surface(cr, me.shown_.CairoSurface(), 0, 0);
    cairo_paint(cr);
  }
  // Then the children (browser views) over it.
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
  gtk_container_propagate_draw(GTK_CONTAINER(widget), me.fixed_, cr);
  return TRUE;
}

void NativeWindow::Host(GtkWidget* widget, const Rect& rect, bool visible, bool enabled) {
  if (gone_) return;
  GtkWidget* parent = gtk_widget_get_parent(widget);
  if (parent != fixed_) {
    g_object_ref(widget);
    if (parent) gtk_container_remove(GTK_CONTAINER(parent), widget);
    gtk_fixed_put(GTK_FIXED(fixed_), widget, rect.left, rect.top);
    g_object_unref(widget);
  } else {
    gtk_fixed_move(GTK_FIXED(fixed_), widget, rect.left, rect.top);
  }
  bool show = visible && rect.Width() > 0 && rect.Height() > 0;
  gtk_widget_set_size_request(widget, std::max(1, rect.Width()), std::max(1, rect.Height()));
  gtk_widget_set_sensitive(widget, enabled);
  if (show) gtk_widget_show(widget);
  else gtk_widget_hide(widget);
}

void NativeWindow::Present() {
  if (docked_ || !mapped_ || gone_) return;
  guint32 time = gtk_get_current_event_time();
  gtk_window_present_with_time(GTK_WINDOW(window_), time ? time : GDK_CURRENT_TIME);
}

bool NativeWindow::BeginMoveDrag(Point screen) {
  if (docked_ || !mapped_ || gone_) return false;
  dragging_ = true;
  gtk_window_begin_move_drag(GTK_WINDOW(window_), 1, screen.x, screen.y, gtk_get_current_event_time());
  return true;
}

void NativeWindow::Raise() {
  if (docked_ || !mapped_ || gone_) return;
  if (GdkWindow* w = gtk_widget_get_window(window_)) gdk_window_raise(w);
}

void NativeWindow::ApplyCursor(GdkCursor* cursor) {
  if (GdkWindow* w = gtk_widget_get_window(window_)) gdk_window_set_cursor(w, cursor);
}

// ---------------------------------------------------------------------------
// Input

gboolean NativeWindow::OnButtonPress(GtkWidget*, GdkEventButton* event, gpointer self) {
  NativeWindow& me = Me(self);
  if (!me.IsOwnSurface(event->window)) return FALSE;
  // The toolkit's own double-click events are not used: the second press is
  // reported as the double click below.
  if (event->type != GDK_BUTTON_PRESS) return TRUE;
  if (event->button != 1 && event->button != 3) return FALSE;
  auto button = event->button == 1 ? input::MouseButton::Left : input::MouseButton::Right;
  Point screen = me.ToScreen(event->x, event->y);
  me.backend_.NotePointer(screen);
  GtkSettings* settings = gtk_widget_get_settings(me.window_);
  gint doubleTime = 400, doubleDistance = 5;
  g_object_get(settings, "gtk-double-click-time", &doubleTime, "gtk-double-click-distance", &doubleDistance, nullptr);
  bool isDouble = !me.lastPressWasDouble_ && me.lastPressButton_ == event->button &&
                  event->time - me.lastPressTime_ <= guint32(doubleTime) &&
                  std::abs(event->x - me.lastPressX_) <= doubleDistance &&
                  std::abs(event->y - me.lastPressY_) <= doubleDistance;
  me.lastPressTime_ = event->time;
  me.lastPressButton_ = event->button;
  me.lastPressX_ = event->x;
  me.lastPressY_ = event->y;
  me.lastPressWasDouble_ = isDouble;
  if (isDouble) input::MouseDoubleClick(button, screen);
  else input::MouseDown(button, screen);
  return TRUE;
}

gboolean NativeWindow::OnButtonRelease(GtkWidget*, GdkEventButton* event, gpointer self) {
  NativeWindow& me = Me(self);
  if (!me.IsOwnSurface(event->window)) return FALSE;
  if (event->button != 1 && event->button != 3) return FALSE;
  me.dragging_ = false;
  Point screen = me.ToScreen(event->x, event->y);
  me.backend_.NotePointer(screen);
  input::MouseUp(event->button == 1 ? input::MouseButton::Left : input::MouseButton::Right, screen);
  return TRUE;
}

gboolean NativeWindow::OnMotion(GtkWidget*, GdkEventMotion* event, gpointer self) {
  NativeWindow& me = Me(self);
  if (!me.IsOwnSurface(event->window)) return FALSE;
  if (!(event->state & GDK_BUTTON1_MASK)) me.dragging_ = false;
  Point screen = me.ToScreen(event->x, event->y);
  me.backend_.NotePointer(screen);
  input::MouseMove(screen);
  return TRUE;
}

gboolean NativeWindow::OnLeave(GtkWidget*, GdkEventCrossing* event, gpointer self) {
  NativeWindow& me = Me(self);
  if (!me.IsOwnSurface(event->window)) return FALSE;
  // Entering a browser view inside the window is a move onto that window.
  if (event->detail == GDK_NOTIFY_INFERIOR || event->mode != GDK_CROSSING_NORMAL) return FALSE;
  Point screen = me.ToScreen(event->x, event->y);
  // A window appearing or changing its shape under a resting pointer is no
  // move of the pointer.
  if (screen == me.backend_.LastPointer()) return FALSE;
  me.backend_.NotePointer(screen);
  input::MouseMove(screen);
  return FALSE;
}

gboolean NativeWindow::OnKey(GtkWidget*, GdkEventKey* event, gpointer self) {
  NativeWindow& me = Me(self);
  UINT vk = VirtualKeyOf(event);
  if (!vk) return FALSE;
  UINT mods = ModifiersOf(event->state);
  bool down = event->type == GDK_KEY_PRESS;
  GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(me.window_));
  HWND browser = focus ? me.backend_.WindowOfWidget(focus) : 0;
  if (!browser) return down ? input::KeyDown(vk, mods) : input::KeyUp(vk, mods);
  // The page has the keyboard: the key message goes through the windows'
  // pre-translation first, as for any message aimed at the browser window; a
  // message nobody took goes on to the page.
  G().modifiers = mods;
  bool alt = (mods & MOD_ALT) != 0;
  UINT message = down ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN) : (alt ? WM_SYSKEYUP : WM_KEYUP);
  LPARAM lParam = 1 | (alt ? LPARAM(1) << 29 : 0) | (down ? 0 : LPARAM(0xC0000000));
  Msg msg{browser, message, vk, lParam, me.backend_.CursorPos()};
  if (Framework::PreTranslate(msg)) return TRUE;
  if (ui::Window* w = ui::Window::FromHandle(browser)) Framework::Call(*w, msg.message, msg.wParam, msg.lParam);
  return FALSE;
}

gboolean NativeWindow::OnFocusIn(GtkWidget*, GdkEventFocus*, gpointer self) {
  NativeWindow& me = Me(self);
  // The desktop made this window active already: the framework follows
  // without asking the desktop to activate it again.
  if (G().foreground != me.hwnd_) me.backend_.ReportActivation(me.hwnd_);
  return FALSE;
}

gboolean NativeWindow::OnFocusOut(GtkWidget*, GdkEventFocus*, gpointer self) {
  Me(self).backend_.ScheduleFocusCheck();
  return FALSE;
}

gboolean NativeWindow::OnDelete(GtkWidget*, GdkEvent*, gpointer self) {
  input::CloseRequested(Me(self).hwnd_);
  return TRUE;
}

gboolean NativeWindow::OnConfigure(GtkWidget*, GdkEventConfigure*, gpointer self) {
  NativeWindow& me = Me(self);
  // Only a move the desktop makes while the player drags the window goes back
  // to the framework; every other geometry comes from the framework.
  if (!me.dragging_ || me.docked_) return FALSE;
  ui::Window* w = me.Self();
  GdkWindow* gw = gtk_widget_get_window(me.window_);
  if (!w || !gw) return FALSE;
  int x = 0, y = 0;
  gdk_window_get_origin(gw, &x, &y);
  Rect r = w->GetWindowRect();
  Rect moved = Rect::FromXYWH(x, y, r.Width(), r.Height());
  if (moved != r) {
    me.appliedRect_ = moved;
    input::Moved(me.hwnd_, moved);
  }
  return FALSE;
}

gboolean NativeWindow::OnWindowState(GtkWidget*, GdkEventWindowState* event, gpointer self) {
  NativeWindow& me = Me(self);
  // Only a window manager minimises and restores windows for the player;
  // without one the toolkit calls a hidden window iconified as well.
  if (!(event->changed_mask & GDK_WINDOW_STATE_ICONIFIED) || !me.mapped_ || !me.backend_.HasWindowManager())
    return FALSE;
  bool iconified = (event->new_window_state & GDK_WINDOW_STATE_ICONIFIED) != 0;
  ui::Window* w = me.Self();
  if (!w || iconified == me.iconic_) return FALSE;
  // The player minimised or restored the window through the desktop (a
  // taskbar button): the window hears it as the system command.
  (void)w;
  me.iconic_ = iconified;
  input::SystemCommand(me.hwnd_, iconified ? SC_MINIMIZE : SC_RESTORE);
  return FALSE;
}

}  // namespace ui::gtk
