#include "ui/System.h"

#include <algorithm>
#include <thread>

#include "ui/FrameworkState.h"

namespace ui {

void Init(std::unique_ptr<Backend> backend) {
  {
    std::lock_guard lock(G().backendMutex);
    G().backend = std::move(backend);
  }
  G().uiThread = std::this_thread::get_id();
  G().quitPending = false;
  G().foreground = G().focus = G().capture = G().underPointer = 0;
  G().drag = {};
  G().leftDown = false;
  G().modifiers = 0;
}

void Shutdown() {
  if (!G().backend) return;
  std::vector<Window*> all;
  {
    std::lock_guard lock(G().handlesMutex);
    for (auto& [h, w] : G().handles) all.push_back(w);
  }
  for (Window* w : all) {
    bool alive;
    {
      std::lock_guard lock(G().handlesMutex);
      alive = std::any_of(G().handles.begin(), G().handles.end(), [w](auto& e) { return e.second == w; });
    }
    if (alive && !w->GetParent()) w->DestroyWindow();
  }
  {
    std::lock_guard lock(G().queueMutex);
    for (auto& s : G().sent) s->result.set_value(0);
    G().sent.clear();
    G().posted.clear();
  }
  G().timers.clear();
  G().hotkeys.clear();
  G().mainWindow = nullptr;
  std::lock_guard lock(G().backendMutex);
  G().backend.reset();
}

bool IsInitialised() { return G().backend != nullptr; }
Backend& GetBackend() { return *G().backend; }
bool IsUiThread() { return std::this_thread::get_id() == G().uiThread; }

void SetMainWindow(Window* window) { G().mainWindow = window; }
Window* GetMainWindow() { return G().mainWindow; }

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!G().backend || !hwnd) return 0;
  if (!IsUiThread()) {
    if (!LocalWindow(hwnd)) {
      return G().backend->IsForeignWindow(hwnd) ? G().backend->SendForeign(hwnd, message, wParam, lParam) : 0;
    }
    auto item = std::make_shared<Globals::Sent>();
    item->msg = {hwnd, message, wParam, lParam, {}};
    auto result = item->result.get_future();
    {
      std::lock_guard lock(G().queueMutex);
      G().sent.push_back(item);
    }
    G().backend->Wake();
    return result.get();
  }
  if (Window* w = LocalWindow(hwnd)) return Framework::Call(*w, message, wParam, lParam);
  if (G().backend->IsForeignWindow(hwnd)) return G().backend->SendForeign(hwnd, message, wParam, lParam);
  return 0;
}

bool PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!G().backend || !hwnd) return false;
  if (LocalWindow(hwnd)) {
    Point pt = IsUiThread() ? G().backend->CursorPos() : Point{};
    {
      std::lock_guard lock(G().queueMutex);
      G().posted.push_back({hwnd, message, wParam, lParam, pt});
    }
    G().backend->Wake();
    return true;
  }
  if (G().backend->IsForeignWindow(hwnd)) return G().backend->PostForeign(hwnd, message, wParam, lParam);
  return false;
}

void PostQuitMessage(int code) {
  G().quitPending = true;
  G().quitCode = code;
  if (G().backend) G().backend->Wake();
}

bool IsWindow(HWND hwnd) {
  if (!hwnd) return false;
  if (LocalWindow(hwnd)) return true;
  return G().backend && G().backend->IsForeignWindow(hwnd);
}

HWND FindWindow(const wchar_t* className, const wchar_t* windowName) {
  if (!G().backend || !className) return 0;
  for (Window* w : Framework::TopLevelsTopFirst()) {
    if (w->GetClassName() == className && (!windowName || w->GetWindowText() == windowName)) return w->GetSafeHwnd();
  }
  return G().backend->FindForeignWindow(className, windowName);
}

bool GetWindowRect(HWND hwnd, Rect* rect) {
  if (Window* w = LocalWindow(hwnd)) {
    *rect = w->GetWindowRect();
    return true;
  }
  return G().backend && G().backend->ForeignWindowRect(hwnd, rect);
}

bool GetClientRect(HWND hwnd, Rect* rect) {
  if (Window* w = LocalWindow(hwnd)) {
    *rect = w->GetClientRect();
    return true;
  }
  return G().backend && G().backend->ForeignClientRect(hwnd, rect);
}

bool IsWindowVisible(HWND hwnd) {
  if (Window* w = LocalWindow(hwnd)) return w->IsWindowVisible();
  return G().backend && G().backend->ForeignIsVisible(hwnd);
}

int RunMessageLoop() {
  LoopContext loop{nullptr, ++G().loopDepth};
  struct Depth {
    ~Depth() { --G().loopDepth; }
  } depth;
  for (;;) {
    if (PumpOne()) continue;
    if (G().quitPending) {
      G().quitPending = false;
      return G().quitCode;
    }
    Framework::PaintPending();
    G().backend->WaitForEvents(loop);
  }
}

bool PumpMessages() {
  bool any = false;
  while (PumpOne()) any = true;
  Framework::PaintPending();
  return any;
}

void BeginThread(std::function<void()> work) {
  ++G().workers;
  std::thread([work = std::move(work)] {
    work();
    std::lock_guard lock(G().backendMutex);
    --G().workers;
    if (G().backend) G().backend->Wake();
  }).detach();
}

int LiveWorkerCount() { return G().workers.load(); }

int GetSystemMetrics(int index) {
  Size screen = G().backend->ScreenSize();
  switch (index) {
    case SM_CXSCREEN:
      return screen.cx;
    case SM_CYSCREEN:
      return screen.cy;
    case SM_CXICON:
    case SM_CYICON:
      return 32;
    default:
      return 0;
  }
}

Rect GetWorkArea() { return G().backend->WorkArea(); }
HWND GetForegroundWindow() { return G().foreground; }

bool SetForegroundWindow(HWND hwnd) {
  Window* w = LocalWindow(hwnd);
  return w && w->SetForegroundWindow();
}

HWND GetActiveWindow() { return G().foreground; }
HWND GetFocus() { return G().focus; }
Point GetCursorPos() { return G().backend->CursorPos(); }

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs) {
  if (!LocalWindow(hwnd)) return 0;
  // As on Windows, periods below 10 ms run at 10 ms.
  elapseMs = std::max<UINT>(elapseMs, 10);
  G().timers.insert({hwnd, id});
  G().backend->StartTimer(hwnd, id, elapseMs);
  return id ? id : 1;
}

bool KillTimer(HWND hwnd, UINT_PTR id) {
  if (!G().timers.erase({hwnd, id})) return false;
  G().backend->StopTimer(hwnd, id);
  return true;
}

bool RegisterHotKey(HWND hwnd, int id, UINT modifiers, UINT virtualKey) {
  if (!LocalWindow(hwnd)) return false;
  if (!G().backend->RegisterHotKey(hwnd, id, modifiers, virtualKey)) return false;
  G().hotkeys.insert({hwnd, id});
  return true;
}

bool UnregisterHotKey(HWND hwnd, int id) {
  if (!G().backend || !G().backend->UnregisterHotKey(hwnd, id)) return false;
  G().hotkeys.erase({hwnd, id});
  return true;
}

}  // namespace ui
