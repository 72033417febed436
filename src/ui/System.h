#pragma once
// Window-system services that work on handles (local windows and windows of
// other processes alike), the message loop, threads and the screen.
#include <functional>
#include <memory>

#include "ui/Types.h"

namespace ui {

class Backend;
class Window;

// --- Start-up: one backend per process, chosen in main ---
// Makes the calling thread the user-interface thread.
void Init(std::unique_ptr<Backend> backend);
// Destroys the remaining windows and drops the backend.
void Shutdown();
bool IsInitialised();
Backend& GetBackend();
bool IsUiThread();

// The application's main window (AfxGetMainWnd); question boxes without a
// parent are owned by its last active popup.
void SetMainWindow(Window* window);
Window* GetMainWindow();

// --- Messages on handles ---
// Calls the window's procedure now. From another thread it waits until the
// user-interface thread has handled it. A window of another process goes
// through the backend. 0 for no window.
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// Queues the message (any thread). False for no window.
bool PostMessage(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// Posts WM_QUIT: the message loop ends with code.
void PostQuitMessage(int code);
// Safe from any thread.
bool IsWindow(HWND hwnd);
// className must match; windowName matches when null, else exactly.
HWND FindWindow(const wchar_t* className, const wchar_t* windowName);
bool GetWindowRect(HWND hwnd, Rect* rect);
bool GetClientRect(HWND hwnd, Rect* rect);
bool IsWindowVisible(HWND hwnd);

// --- The message loop ---
// Runs until WM_QUIT; returns its code.
int RunMessageLoop();
// Handles every message waiting now without waiting for more; false when
// there was none.
bool PumpMessages();

// --- Threads ---
// Starts a worker thread (AfxBeginThread / CreateThread). The loop knows
// workers are running and waits for their messages instead of calling itself idle.
void BeginThread(std::function<void()> work);
int LiveWorkerCount();

// --- Screen, activation, cursor ---
int GetSystemMetrics(int index);
Rect GetWorkArea();
HWND GetForegroundWindow();
bool SetForegroundWindow(HWND hwnd);
HWND GetActiveWindow();
HWND GetFocus();
Point GetCursorPos();
// Whether a modifier key (VK_CONTROL, VK_SHIFT, VK_MENU) is held, as the latest
// key event reported it: 0x8000 when held, 0 when not or for any other key.
short GetAsyncKeyState(int virtualKey);

// --- Timers and hotkeys on handles ---
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs);
bool KillTimer(HWND hwnd, UINT_PTR id);
// Fails when the combination is taken (by any window or another program).
bool RegisterHotKey(HWND hwnd, int id, UINT modifiers, UINT virtualKey);
bool UnregisterHotKey(HWND hwnd, int id);

}  // namespace ui
