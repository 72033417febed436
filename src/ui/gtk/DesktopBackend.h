#pragma once
// The desktop window system under the framework: GTK 3 on X11. Top-level
// windows are frameless GTK windows that show the framework's retained
// pixels; the loop waits in the GLib main context; timers are GLib timeouts;
// hotkeys are X key grabs (keybinder); the tray is a status icon; windows of
// other processes are X windows reached through an X11Link.
//
// Handles: a native window's handle is its X window id, so another process
// can address it (the docking protocol passes it on the command line and in
// messages). Plain child windows have no X window; their handles carry the
// process id above 32 bits, so they never collide with an X id.
#include <gtk/gtk.h>

#include <map>
#include <memory>
#include <string>

#include "ui/Backend.h"
#include "ui/Cursor.h"

namespace ui::gtk {

class HotkeyTable;
class NativeWindow;
class TrayIcons;
class X11Link;

class DesktopBackend : public Backend {
 public:
  DesktopBackend();
  ~DesktopBackend() override;

  // The backend of the running framework; null when it is another one.
  static DesktopBackend* Current();

  // --- For the pieces of this backend ---
  NativeWindow* NativeOf(HWND hwnd) const;
  // The native window that holds window's pixels: its own, or that of the
  // nearest ancestor with one; offset receives window's place in it.
  NativeWindow* HostOf(ui::Window& window, Point* offset) const;
  bool HasWindowManager() const;
  void NotePointer(Point screen);
  // The pointer position the last input event reported.
  Point LastPointer() const { return pointer_; }
  // Native widgets of child windows (browser views): registered by their
  // engines, placed by the backend whenever their windows change.
  void AddHostedWidget(HWND child, GtkWidget* widget);
  void RemoveHostedWidget(HWND child);
  HWND WindowOfWidget(GtkWidget* widget) const;
  void PlaceHostedWidgets();
  // A window of ours lost the keyboard focus: when none of ours has it after
  // the toolkit settles, another program is in front.
  void ScheduleFocusCheck();
  // The desktop activated a window of ours: the framework hears it.
  void ReportActivation(HWND hwnd);

  // --- Backend ---
  std::string Name() const override { return "gtk"; }
  Size ScreenSize() const override;
  Rect WorkArea() const override;
  Point CursorPos() const override;
  void SetCursor(Cursor cursor) override;
  HWND CreateNative(ui::Window& window) override;
  void DestroyNative(ui::Window& window) override;
  void WindowChanged(ui::Window& window, unsigned changes) override;
  void Present(ui::Window& window, const Rect& rect) override;
  void Activate(ui::Window& window) override;
  bool BeginMoveDrag(ui::Window& window, Point screen) override;
  void Wake() override;
  void WaitForEvents(const LoopContext& loop) override;
  void BeforeModal(Dialog& dialog) override;
  void StartTimer(HWND hwnd, UINT_PTR id, UINT elapseMs) override;
  void StopTimer(HWND hwnd, UINT_PTR id) override;
  bool RegisterHotKey(HWND hwnd, int id, UINT modifiers, UINT virtualKey) override;
  bool UnregisterHotKey(HWND hwnd, int id) override;
  bool NotifyIcon(DWORD message, const NotifyIconData& data) override;
  UINT TrackPopupMenu(const Menu& menu, Point screen, HWND owner) override;
  bool IsForeignWindow(HWND hwnd) override;
  LRESULT SendForeign(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
  bool PostForeign(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
  bool ForeignWindowRect(HWND hwnd, Rect* screenRect) override;
  bool ForeignClientRect(HWND hwnd, Rect* clientRect) override;
  bool ForeignIsVisible(HWND hwnd) override;
  HWND FindForeignWindow(const wchar_t* className, const wchar_t* windowName) override;

 private:
  struct TimerKey {
    HWND hwnd;
    UINT_PTR id;
    bool operator<(const TimerKey& o) const { return hwnd != o.hwnd ? hwnd < o.hwnd : id < o.id; }
  };
  static gboolean OnTimer(gpointer key);
  static gboolean OnFocusCheck(gpointer self);
  bool IsOwnNative(HWND hwnd) const;
  void Restack();

  GdkDisplay* display_ = nullptr;
  std::map<HWND, std::unique_ptr<NativeWindow>> natives_;
  std::map<HWND, GtkWidget*> hosted_;
  std::map<TimerKey, guint> timers_;
  std::unique_ptr<HotkeyTable> hotkeys_;
  std::unique_ptr<TrayIcons> tray_;
  std::unique_ptr<X11Link> link_;
  HWND nextChildHandle_;
  mutable Point pointer_;
  mutable gint64 pointerTime_ = 0;
  GdkCursor* cursors_[2] = {nullptr, nullptr};
  guint focusCheck_ = 0;
  HWND activatedByDesktop_ = 0;
};

}  // namespace ui::gtk
