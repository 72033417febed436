#pragma once
// One native window of the desktop: a top-level window of ours, or a window
// of ours docked into a window of another process. The window itself shows the
// framework's retained pixels of the window and of its plain children; native
// widgets of its children (browser views) sit in the same container at their
// places. Input on it goes back to the framework through ui/Input.h.
#include <gtk/gtk.h>

#include "ui/Surface.h"
#include "ui/Types.h"
#include "ui/Window.h"

namespace ui::gtk {

class DesktopBackend;

class NativeWindow {
 public:
  NativeWindow(DesktopBackend& backend, ui::Window& window);
  ~NativeWindow();
  NativeWindow(const NativeWindow&) = delete;
  NativeWindow& operator=(const NativeWindow&) = delete;

  // The X window id: the window's handle, reachable from other processes.
  HWND Handle() const { return hwnd_; }
  GtkWidget* Widget() const { return window_; }
  bool IsDocked() const { return docked_; }

  // Mirrors the framework's state of the window (kChange* bits).
  void Sync(unsigned changes);
  // Retained pixels of the window or of a child changed.
  void ContentChanged();
  // Places a child's native widget at rect (this window's client coordinates).
  void Host(GtkWidget* widget, const Rect& rect, bool visible, bool enabled);
  void Present();
  // Brings the window above the other windows of the desktop, without the
  // keyboard focus.
  void Raise();
  bool BeginMoveDrag(Point screen);
  void ApplyCursor(GdkCursor* cursor);

 private:
  ui::Window* Self() const;
  bool IsOwnSurface(GdkWindow* surface) const;
  Point ToScreen(double x, double y) const;
  void Compose();
  void ApplyShape();
  void SyncGeometry(ui::Window& w);
  void SyncVisibility(ui::Window& w);
  void Dock(HWND parent, const Rect& rect);

  static void OnDestroyed(GtkWidget*, gpointer self);
  static gboolean OnDraw(GtkWidget*, cairo_t* cr, gpointer self);
  static gboolean OnButtonPress(GtkWidget*, GdkEventButton* event, gpointer self);
  static gboolean OnButtonRelease(GtkWidget*, GdkEventButton* event, gpointer self);
  static gboolean OnMotion(GtkWidget*, GdkEventMotion* event, gpointer self);
  static gboolean OnLeave(GtkWidget*, GdkEventCrossing* event, gpointer self);
  static gboolean OnKey(GtkWidget*, GdkEventKey* event, gpointer self);
  static gboolean OnFocusIn(GtkWidget*, GdkEventFocus*, gpointer self);
  static gboolean OnFocusOut(GtkWidget*, GdkEventFocus*, gpointer self);
  static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer self);
  static gboolean OnConfigure(GtkWidget*, GdkEventConfigure* event, gpointer self);
  static gboolean OnWindowState(GtkWidget*, GdkEventWindowState* event, gpointer self);
  static gboolean OnComposeIdle(gpointer self);

  DesktopBackend& backend_;
  HWND hwnd_ = 0;
  bool docked_ = false;
  // The toolkit destroyed the window (its X window went with a vanished
  // parent); the object stays until the framework lets go of the window.
  bool gone_ = false;
  HWND dockParent_ = 0;
  GtkWidget* window_ = nullptr;
  GtkWidget* fixed_ = nullptr;

  Surface shown_;  // what the drawing area shows, composed after each change
  bool layered_ = false;
  cairo_region_t* shape_ = nullptr;  // the bounding and input shape set last
  guint composeIdle_ = 0;

  bool mapped_ = false;
  ShowState appliedState_ = ShowState::Normal;
  bool iconic_ = false;  // the desktop shows the window minimised
  Rect appliedRect_;
  bool dragging_ = false;

  // Double clicks, told apart the way the framework expects: the second
  // press itself is the double click.
  guint32 lastPressTime_ = 0;
  guint lastPressButton_ = 0;
  double lastPressX_ = 0, lastPressY_ = 0;
  bool lastPressWasDouble_ = false;
};

}  // namespace ui::gtk
