#pragma once
// ui::Window: one window of the client. It has a handle, a parent (child
// windows) or an owner (popups), a rectangle, a visibility and a show state,
// and a WindowProc that dispatches messages to virtual handler methods. A
// handler's base implementation does the default processing (DefWindowProc),
// so an override that "then does default processing" calls the base.
//
// Windows here have no non-client frame: the client area is the whole window
// rectangle (the client's windows are all frameless and draw their own title
// strips).
#include <memory>
#include <string>
#include <vector>

#include "ui/Messages.h"
#include "ui/Types.h"

namespace ui {

class Surface;

// Show states. Fullscreen is a maximised window whose rectangle covers the
// whole screen; moving it off that rectangle makes it maximised again.
enum class ShowState { Normal, Maximized, Minimized, Fullscreen };

struct CreateParams {
  std::wstring className;
  std::wstring text;
  DWORD style = 0;
  DWORD exStyle = 0;
  // A child's rectangle is in its parent's client coordinates, a popup's in
  // screen coordinates.
  Rect rect;
  // WS_CHILD: the parent (possibly a window of another process). Otherwise
  // the owner; an owned window's owner is always a top-level window.
  HWND parent = 0;
  int id = 0;  // control id of a child window
};

// What SetLayeredWindowAttributes and UpdateLayeredWindow gave the window.
struct LayeredState {
  bool hasAttributes = false;  // SetLayeredWindowAttributes was called
  COLORREF colorKey = 0;
  BYTE alpha = 255;
  DWORD flags = 0;             // LWA_COLORKEY | LWA_ALPHA
  bool hasPicture = false;     // UpdateLayeredWindow gave a per-pixel-alpha picture
};

// The most recent paint cycle of a window: the bounding box of the region it
// covered and whether the background was erased first.
struct PaintRecord {
  int count = 0;
  Rect rect;
  bool erased = false;
};

namespace detail {
struct WindowState;
}

class Window {
 public:
  Window();
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  bool CreateEx(const CreateParams& params);
  // Destroys the window, its children and the windows it owns.
  bool DestroyWindow();

  HWND GetSafeHwnd() const;
  // The local window object for a handle; null for no window, a destroyed
  // one, or a window of another process.
  static Window* FromHandle(HWND hwnd);

  // --- Relations ---
  int GetDlgCtrlID() const;
  // The child with the control id, searched among direct children.
  Window* GetDlgItem(int id) const;
  Window* GetParent() const;  // a child's local parent; null for top-level windows
  HWND GetParentHandle() const;  // also a parent of another process
  Window* GetOwner() const;
  // The top-level window this one belongs to (itself when top-level).
  Window* GetTopLevelParent() const;
  // Makes the window a child of another window, local or of another process.
  HWND SetParent(HWND newParent);
  std::vector<Window*> GetChildren() const;
  std::vector<Window*> GetOwnedWindows() const;
  const std::wstring& GetClassName() const;

  void SetWindowText(const std::wstring& text);
  std::wstring GetWindowText() const;

  DWORD GetStyle() const;
  DWORD GetExStyle() const;
  bool ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
  bool ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags = 0);

  // --- Geometry ---
  void GetWindowRect(Rect* rect) const;  // screen coordinates
  Rect GetWindowRect() const;
  void GetClientRect(Rect* rect) const;  // (0, 0, width, height)
  Rect GetClientRect() const;
  void ClientToScreen(Point* point) const;
  void ClientToScreen(Rect* rect) const;
  void ScreenToClient(Point* point) const;
  void ScreenToClient(Rect* rect) const;
  // x, y in the parent's client coordinates for a child, screen for a popup.
  bool MoveWindow(int x, int y, int width, int height, bool repaint = true);
  bool MoveWindow(const Rect& rect, bool repaint = true);
  // Z-order is not modelled; insertAfter is accepted and ignored.
  bool SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
  // Centres a popup over its owner when that is visible and not minimised,
  // otherwise over the work area.
  void CenterWindow(Window* alternateOwner = nullptr);

  // --- Visibility and show state ---
  // Returns whether the window was visible before.
  bool ShowWindow(int command);
  // Own WS_VISIBLE and every parent's, and not hidden with a minimised owner.
  bool IsWindowVisible() const;
  bool IsZoomed() const;  // maximised or fullscreen
  bool IsIconic() const;
  ShowState GetShowState() const;
  // The rectangle the window returns to when restored.
  Rect GetRestoredRect() const;
  bool EnableWindow(bool enable);  // returns whether it was disabled before
  bool IsWindowEnabled() const;

  // --- Activation and focus ---
  bool SetForegroundWindow();
  Window* SetActiveWindow();
  Window* SetFocus();
  // The most recently active window among the top-level window and the
  // popups it owns (the window itself when none was active).
  Window* GetLastActivePopup() const;
  // True when the foreground window is the last active popup of this
  // window's top-level window.
  bool IsTopParentActive() const;

  // --- Messages ---
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  // Called by the message loop for keyboard, mouse and other queued messages
  // aimed at this window or its children, before dispatch; returning true
  // means the message is consumed. The message may be changed in place.
  virtual bool PreTranslateMessage(Msg& msg);

  // --- Timers ---
  UINT_PTR SetTimer(UINT_PTR id, UINT elapseMs);
  bool KillTimer(UINT_PTR id);

  // --- Painting ---
  // Adds rect (client coordinates; null: the whole client area) to the
  // invalid region. The next paint cycle erases first when any invalidation
  // asked for it.
  void InvalidateRect(const Rect* rect, bool erase = true);
  void Invalidate(bool erase = true);
  // Runs the paint cycle now when the window has an invalid region.
  void UpdateWindow();
  // Bounding box of the invalid region; false when nothing is invalid.
  bool GetUpdateRect(Rect* rect) const;
  const std::vector<Rect>& GetUpdateRegion() const;
  const PaintRecord& GetLastPaint() const;
  // The window's retained client pixels, as its paint handlers left them.
  const Surface& GetBacking() const;
  // A copy of the parent's pixels under this window (parent's client area,
  // without children): what the parent shows there now.
  Surface SnapshotParentBackground() const;

  // --- Layered windows ---
  // Fails unless the window has WS_EX_LAYERED.
  bool SetLayeredWindowAttributes(COLORREF colorKey, BYTE alpha, DWORD flags);
  // Shows picture (premultiplied per-pixel alpha) as the whole window at
  // destination (screen; null keeps the place) with the picture's size or
  // size; fully transparent pixels neither show nor take mouse input.
  bool UpdateLayeredWindow(const Point* destination, const Size* size, const Surface& picture, Point source,
                           BYTE alpha, DWORD flags);
  const LayeredState& GetLayeredState() const;
  const Surface& GetLayeredPicture() const;
  // Whether a screen point hits the window, taking the layered picture's
  // transparent pixels and the colour key into account. A colour-keyed
  // window is composed for this once and answers from that until something
  // it shows changes (pending paint cycles run first, as for RenderWindow).
  bool HitTestLayered(Point screen) const;

  // --- Mouse ---
  bool TrackMouseEvent(DWORD flags, UINT hoverTimeMs);
  DWORD GetTrackMouseFlags() const;
  void SetCapture();
  static void ReleaseCapture();
  static Window* GetCapture();

  // Lets a window object take over an existing window (a dialog's template
  // control): the handle and all its state move to this object and the old
  // object is left without a window.
  bool SubclassWindow(Window& existing);

 protected:
  // Dispatches to the handler methods below; overrides catch private
  // messages and pass the rest to the base.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // The default processing the client relies on: system commands change the
  // show state and SC_CLOSE becomes WM_CLOSE; WM_CLOSE destroys the window;
  // WM_NCHITTEST answers HTCLIENT; WM_NCLBUTTONDOWN on HTCAPTION drags the
  // window; WM_SYSKEYDOWN of Alt+F4 becomes SC_CLOSE; WM_ERASEBKGND fills
  // the background with the window's background colour.
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Default processing of the message being handled now.
  LRESULT Default();
  const Msg& GetCurrentMessage() const;

  // Called when this object takes over a window (SubclassWindow, DDX_Control).
  virtual void PreSubclassWindow();
  // Called after the window is gone; windows the framework made itself
  // delete themselves here.
  virtual void PostNcDestroy();

  // The colour DefWindowProc erases with; null colour (alpha 0) erases nothing.
  virtual COLORREF GetBackgroundColor() const;

  // --- Handlers: each base calls Default() unless said otherwise ---
  virtual int OnCreate();  // base: 0
  virtual void OnDestroy();
  // wParam: low word the id, high word the notification code; lParam: the
  // control's handle. Returns true when handled (base: false).
  virtual bool OnCommand(WPARAM wParam, LPARAM lParam);
  virtual void OnSysCommand(UINT id, LPARAM lParam);
  virtual void OnTimer(UINT_PTR id);
  virtual void OnHotKey(UINT id, UINT modifiers, UINT virtualKey);
  virtual void OnSize(UINT type, int cx, int cy);
  virtual void OnMove(int x, int y);
  virtual void OnWindowPosChanged();
  virtual void OnActivate(UINT state, HWND other, bool minimized);
  virtual void OnClose();
  virtual bool OnEraseBkgnd(Surface& surface);
  virtual void OnPaint(Surface& surface);  // base: nothing
  virtual LRESULT OnNcHitTest(Point screen);
  virtual void OnNcLButtonDown(UINT hitTest, Point screen);
  virtual void OnLButtonDown(UINT flags, Point point);
  virtual void OnLButtonUp(UINT flags, Point point);
  virtual void OnLButtonDblClk(UINT flags, Point point);
  virtual void OnRButtonDown(UINT flags, Point point);
  virtual void OnRButtonUp(UINT flags, Point point);
  virtual void OnMouseMove(UINT flags, Point point);
  virtual LRESULT OnMouseHover(UINT flags, Point point);
  virtual LRESULT OnMouseLeave();
  // Returns true when the handler set the cursor (base: arrow, false).
  virtual bool OnSetCursor(HWND window, UINT hitTest, UINT mouseMessage);
  virtual void OnKeyDown(UINT virtualKey, UINT repeat, UINT flags);
  virtual void OnKeyUp(UINT virtualKey, UINT repeat, UINT flags);
  virtual void OnSysKeyDown(UINT virtualKey, UINT repeat, UINT flags);

 private:
  friend struct detail::WindowState;
  friend class Framework;
  std::unique_ptr<detail::WindowState> state_;
};

}  // namespace ui
