#pragma once
// What a backend reports to the framework: user input, desktop events and
// timer ticks. Everything here runs on the user-interface thread. Input goes
// through hit testing, PreTranslateMessage and dispatch the way queued
// messages do.
#include "ui/Types.h"

namespace ui {
class Window;
}

namespace ui::input {

enum class MouseButton { Left, Right };

// Moves the pointer (screen coordinates): WM_MOUSEMOVE to the window under it
// (or the capture), WM_SETCURSOR, WM_MOUSELEAVE to a tracked window it left,
// and the moves of a window drag in progress.
void MouseMove(Point screen);
// WM_NCHITTEST decides: HTCLIENT gives a client button message, other
// answers the non-client one (WM_NCLBUTTONDOWN with HTCAPTION starts a drag).
// Returns false when no enabled window takes the press.
bool MouseDown(MouseButton button, Point screen);
bool MouseUp(MouseButton button, Point screen);
// The second press of a double click: WM_LBUTTONDBLCLK instead of DOWN.
bool MouseDoubleClick(MouseButton button, Point screen);
// The pointer has rested for the hover time: WM_MOUSEHOVER to a window that
// asked for it with TrackMouseEvent.
void MouseRest();

// Modifier state of a key event: MOD_ALT | MOD_CONTROL | MOD_SHIFT.
// Goes to the focus window of the active window (or the active window);
// Alt makes it WM_SYSKEYDOWN.
bool KeyDown(UINT virtualKey, UINT modifiers);
bool KeyUp(UINT virtualKey, UINT modifiers);
// Every modifier key is up again.
void ModifiersReleased();

// The desktop made a window active, or another program came to the front.
void Activated(HWND hwnd);
void OtherApplicationActivated();
// The desktop asks a window to close (title-bar close, Alt+F4 of the window
// manager): WM_SYSCOMMAND SC_CLOSE.
void CloseRequested(HWND hwnd);
// The desktop asks for a system command on a top-level window, as a taskbar
// button does (SC_MINIMIZE, SC_RESTORE, SC_MAXIMIZE, SC_CLOSE): WM_SYSCOMMAND,
// so the window's own handler sees it before the default processing acts.
void SystemCommand(HWND hwnd, WPARAM command);
// The desktop moved or resized a top-level window itself.
void Moved(HWND hwnd, const Rect& screenRect);

// A timer of the window came due: WM_TIMER through the loop.
void TimerFired(HWND hwnd, UINT_PTR id);
// A message of another process for a local window (docking protocol).
LRESULT ForeignMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool sent);

}  // namespace ui::input
