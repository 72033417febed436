#pragma once
// The window system under the framework: a real desktop or the headless one
// of the tests. One backend is chosen at start-up (ui::Init). The framework
// keeps every window's state; the backend mirrors it onto native windows,
// runs timers, hotkeys, the tray, menus and the wait of a message loop, and
// reports input back through ui/Input.h.
#include <string>

#include "ui/Types.h"

namespace ui {

class Dialog;
class Window;
struct Menu;
struct NotifyIconData;
enum class Cursor;

// What changed on a window, for Backend::WindowChanged.
enum WindowChange : unsigned {
  kChangeGeometry = 1,
  kChangeVisibility = 2,
  kChangeShowState = 4,
  kChangeStyle = 8,
  kChangeText = 16,
  kChangeLayered = 32,
  kChangeParent = 64,
  kChangeEnabled = 128,
};

// The loop that waits: the modal dialog it runs, or null for the main loop.
struct LoopContext {
  Dialog* modal = nullptr;
  int depth = 0;  // 1 for the outermost loop
};

class Backend {
 public:
  virtual ~Backend() = default;
  virtual std::string Name() const = 0;

  // --- The screen ---
  virtual Size ScreenSize() const = 0;
  virtual Rect WorkArea() const = 0;
  virtual Point CursorPos() const = 0;
  virtual void SetCursor(Cursor cursor) = 0;

  // --- Native windows ---
  // Gives the new window its handle (unique among all processes of the backend).
  virtual HWND CreateNative(Window& window) = 0;
  virtual void DestroyNative(Window& window) = 0;
  virtual void WindowChanged(Window& window, unsigned changes) = 0;
  // The window's retained pixels changed inside rect (client coordinates).
  virtual void Present(Window& window, const Rect& rect) = 0;
  virtual void Activate(Window& window) = 0;
  // A caption drag starts at screen: true when the desktop moves the window
  // itself (reporting through input::Moved); false lets the framework follow
  // the pointer.
  virtual bool BeginMoveDrag(Window& window, Point screen) = 0;

  // --- The message loop ---
  // Wakes a waiting loop; any thread.
  virtual void Wake() = 0;
  // Called when the framework's queue is empty: waits for and handles
  // native events (or, headless, runs the next scripted step). Returns after
  // at least one thing happened or the loop should look at its queue again.
  virtual void WaitForEvents(const LoopContext& loop) = 0;
  // Every DoModal first asks here, before the dialog exists.
  virtual void BeforeModal(Dialog& dialog) = 0;

  // --- Timers ---
  virtual void StartTimer(HWND hwnd, UINT_PTR id, UINT elapseMs) = 0;
  virtual void StopTimer(HWND hwnd, UINT_PTR id) = 0;

  // --- Hotkeys ---
  virtual bool RegisterHotKey(HWND hwnd, int id, UINT modifiers, UINT virtualKey) = 0;
  virtual bool UnregisterHotKey(HWND hwnd, int id) = 0;

  // --- Tray icon and menus ---
  virtual bool NotifyIcon(DWORD message, const NotifyIconData& data) = 0;
  // Shows the menu and returns the chosen id, 0 when dismissed.
  virtual UINT TrackPopupMenu(const Menu& menu, Point screen, HWND owner) = 0;

  // --- Windows of other processes (any thread) ---
  virtual bool IsForeignWindow(HWND hwnd) = 0;
  virtual LRESULT SendForeign(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;
  virtual bool PostForeign(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;
  virtual bool ForeignWindowRect(HWND hwnd, Rect* screenRect) = 0;
  virtual bool ForeignClientRect(HWND hwnd, Rect* clientRect) = 0;
  virtual bool ForeignIsVisible(HWND hwnd) = 0;
  virtual HWND FindForeignWindow(const wchar_t* className, const wchar_t* windowName) = 0;
};

}  // namespace ui
