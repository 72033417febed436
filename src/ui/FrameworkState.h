#pragma once
// Inside the framework: the per-window state, the process-wide state (handle
// table, message queue, activation, pointer) and the operations the pieces
// of the framework share. Not for client code.
#include <atomic>
#include <condition_variable>
#include <deque>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <vector>

#include "ui/Backend.h"
#include "ui/Cursor.h"
#include "ui/Surface.h"
#include "ui/Window.h"

namespace ui {

constexpr COLORREF kNoColor = 0xFFFFFFFF;

namespace detail {

struct WindowState {
  Window* self = nullptr;
  HWND hwnd = 0;
  std::wstring className;
  std::wstring text;
  DWORD style = 0;
  DWORD exStyle = 0;
  HWND parent = 0;  // WS_CHILD windows (may be a window of another process)
  HWND owner = 0;   // owned popups
  int id = 0;
  Rect rect;  // child: parent's client coordinates; top-level: screen
  ShowState showState = ShowState::Normal;
  ShowState beforeMinimize = ShowState::Normal;
  Rect restoreRect;
  bool visible = false;  // WS_VISIBLE
  bool hiddenByOwner = false;
  std::vector<HWND> children;
  std::vector<Rect> updateRegion;
  bool eraseNeeded = false;
  PaintRecord lastPaint;
  Surface backing;
  LayeredState layered;
  Surface picture;
  // Hit tests of a colour-keyed window need what it shows, and composing that
  // on every pointer move is costly: the answer per pixel is kept here.
  // lookVersion moves whenever something that could change what the window
  // shows changes (a paint of it or of a window inside it, geometry, style,
  // visibility, layered attributes, children coming and going); the mask
  // holds while it was made at the current version and the window's
  // visibility (which hides or shows its children) is the same.
  struct HitMask {
    std::uint64_t version = 0;
    bool visible = false;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> alphas;  // row by row
  };
  std::uint64_t lookVersion = 1;
  std::optional<HitMask> hitMask;
  DWORD trackFlags = 0;
  UINT hoverTime = 0;
  HWND lastActivePopup = 0;
  Msg current;
  bool frameworkOwned = false;
};

}  // namespace detail

// Friend of Window: everything the framework's pieces do to windows.
class Framework {
 public:
  static detail::WindowState& State(const Window& window) { return *window.state_; }
  static LRESULT Call(Window& window, UINT message, WPARAM wParam, LPARAM lParam);
  static void Deliver(Msg msg);
  static bool PreTranslate(Msg& msg);
  static void PaintNow(Window& window);
  static void PaintPending();
  static void Activate(Window* topLevel);
  // The active window went away (hidden, minimised, destroyed): its owner
  // becomes active when it can, otherwise the topmost window that can.
  static void ActivateNext(HWND owner, HWND leaving);
  static void MarkFrameworkOwned(Window& window) { window.state_->frameworkOwned = true; }
  static void Notify(Window& window, unsigned changes);
  static std::vector<Window*> TopLevelsTopFirst();
  static Window* WindowFromPoint(Point screen);
};

// Process-wide state, touched only on the user-interface thread except where
// a member says so.
struct Globals {
  std::unique_ptr<Backend> backend;
  // Held by a finishing worker while it wakes the loop, and by Init and
  // Shutdown while they replace the backend, so a wake never meets a backend
  // being destroyed.
  std::mutex backendMutex;
  std::thread::id uiThread;

  std::mutex handlesMutex;  // guards handles (IsWindow from any thread)
  std::map<HWND, Window*> handles;
  std::vector<HWND> zOrder;  // top-level windows, bottom first

  struct Sent {
    Msg msg;
    std::promise<LRESULT> result;
  };
  std::mutex queueMutex;  // guards posted and sent
  std::deque<Msg> posted;
  std::deque<std::shared_ptr<Sent>> sent;

  bool quitPending = false;
  int quitCode = 0;
  int loopDepth = 0;

  HWND foreground = 0;  // 0: another program (or nothing) is in front
  HWND focus = 0;
  HWND capture = 0;
  Window* mainWindow = nullptr;
  Cursor cursor = Cursor::Arrow;
  UINT modifiers = 0;

  // Pointer
  HWND underPointer = 0;
  bool leftDown = false;
  struct Drag {
    HWND hwnd = 0;
    Point grab;
    Point origin;
  } drag;

  std::set<std::pair<HWND, UINT_PTR>> timers;
  std::set<std::pair<HWND, int>> hotkeys;

  std::atomic<int> workers{0};
};

Globals& G();
// Handles one cross-thread send or one posted message; false when the queue is empty.
bool PumpOne();
// Handles of local windows only; null when gone.
Window* LocalWindow(HWND hwnd);

}  // namespace ui
