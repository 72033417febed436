#pragma once
// The headless window system: a small, faithful in-memory desktop for tests
// and for runs without a display. Screen 1920x1080 with a 40-pixel taskbar
// window of class "Shell_TrayWnd" along the bottom; timers on a virtual clock
// that only the test advances; a hotkey table, a recorded tray icon, popup
// menus and input that the test drives; and a script of steps that loops run
// when they go idle.
//
// Every DoModal and every popup menu consumes the next scripted step, which
// must expect it; a loop that goes idle runs the next scripted action. An
// unexpected dialog or menu, a dialog or menu that is expected but never
// comes, and a loop that goes idle with nothing scripted are failures: the
// backend throws ScriptFailure (or, in a process run, prints the failure and
// exits with code kScriptFailureExitCode).
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <condition_variable>
#include <optional>
#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/Backend.h"
#include "ui/Cursor.h"
#include "ui/Input.h"
#include "ui/Menu.h"
#include "ui/Tray.h"

namespace ui {
class Surface;
}

namespace ui::headless {

constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;
constexpr int kTaskbarHeight = 40;
constexpr int kScriptFailureExitCode = 97;

class ScriptFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct HotkeyEntry {
  HWND hwnd = 0;  // 0: held by another program
  int id = 0;
  UINT modifiers = 0;
  UINT virtualKey = 0;
};

struct ShownMenu {
  Menu menu;
  Point position;
  HWND owner = 0;
};

// A window of another process, as the tests stage it (a frame window for the
// docking protocol, the taskbar).
struct ForeignWindow {
  std::wstring className;
  std::wstring title;
  Rect rect;  // screen
  bool visible = true;
  // Messages sent or posted to it; answers sent ones.
  std::function<LRESULT(UINT, WPARAM, LPARAM)> proc;
  std::vector<Msg> received;
};

class HeadlessBackend : public Backend {
 public:
  HeadlessBackend();
  ~HeadlessBackend() override;

  // The backend of the running framework; throws when it is not headless.
  static HeadlessBackend& Get();

  // ===== Script =====
  // An action the next idle loop runs.
  HeadlessBackend& Then(std::string description, std::function<void()> action);
  // The next DoModal must be a dialog with this template (0: any); when its
  // loop first goes idle, then runs with the dialog.
  HeadlessBackend& ExpectDialog(int templateId, std::function<void(Dialog&)> then, std::string description = {});
  // The next DoModal must be a dialog with this template (0: any), answered
  // with command: a click on its control with that id, or the command itself
  // when there is no such control.
  HeadlessBackend& AnswerDialog(int templateId, int command);
  // The next popup menu: choose the item (0 dismisses the menu).
  HeadlessBackend& ExpectMenu(UINT choice);
  // Steps not yet run, described; empty when the script is used up.
  std::vector<std::string> PendingSteps() const;
  // Every failure reported so far (also those some caller swallowed).
  const std::vector<std::string>& Failures() const { return failures_; }
  void ClearFailures() { failures_.clear(); }
  // Drops the remaining steps.
  void ClearScript();

  // Reads a script in the line format of docs/ui.md. Throws ScriptFailure
  // naming the line when a line cannot be read.
  void LoadScript(const std::string& text);
  // Handlers for script words that other parts of the client understand
  // (e.g. "page ..." for browser events); the handler gets the rest of the line.
  void RegisterScriptCommand(const std::string& word, std::function<void(const std::string&)> handler);
  // A process run: failures print to stderr and end the process.
  void SetProcessMode(bool processMode) { processMode_ = processMode; }
  // Reports a failure (throws, or ends a process run).
  [[noreturn]] void Fail(const std::string& message);

  // ===== Virtual clock and timers =====
  std::uint64_t Now() const { return now_; }
  // Moves the clock on, firing every timer that comes due, in time order,
  // each tick followed by the messages it caused.
  void Advance(UINT ms);
  bool HasTimer(HWND hwnd, UINT_PTR id) const;
  UINT TimerPeriod(HWND hwnd, UINT_PTR id) const;

  // ===== Hotkeys =====
  const std::vector<HotkeyEntry>& Hotkeys() const { return hotkeys_; }
  std::optional<HotkeyEntry> FindHotkey(HWND hwnd, int id) const;
  // Another program holds the combination: our registration of it fails.
  void TakeHotkeyForOtherProgram(UINT modifiers, UINT virtualKey);
  // Presses a combination: WM_HOTKEY to its holder. False when nobody of
  // ours holds it.
  bool PressHotkey(UINT modifiers, UINT virtualKey);

  // ===== Tray and menus =====
  const std::map<std::pair<HWND, UINT>, NotifyIconData>& TrayIcons() const { return tray_; }
  // Clicks the (first) tray icon: the pointer goes to the icon, then the
  // button's down and up messages reach its window. False without an icon.
  bool ClickTray(input::MouseButton button);
  Point TrayIconPosition() const;
  const std::optional<ShownMenu>& LastMenu() const { return lastMenu_; }

  // ===== Input =====
  // Clicks the centre of a control (or any window).
  bool Click(Window& window);
  bool ClickAt(Point screen);
  // Clicks the control with that id among window's children; a missing
  // control is a failure naming the window.
  bool ClickControl(Window& window, int id);
  // Down, up, double-click, up at the centre of a window.
  bool DoubleClick(Window& window);
  bool DoubleClickAt(Point screen);
  // Presses at from (screen), moves to to, releases.
  bool Drag(Point from, Point to);
  void MoveMouse(Point screen);
  // Moves onto the window and rests there (hover).
  void Hover(Window& window);
  // Moves the pointer off every window of ours (onto the bare desktop).
  void MoveOffWindows();
  // A key press with modifiers (MOD_*); a registered hotkey combination
  // becomes WM_HOTKEY instead, as on the desktop.
  bool KeyDown(UINT virtualKey, UINT modifiers = 0);
  bool KeyUp(UINT virtualKey, UINT modifiers = 0);
  // Down and up, then the modifiers are released too.
  bool KeyPress(UINT virtualKey, UINT modifiers = 0);
  // Another application comes to the front.
  void ActivateOtherApplication();
  // Waits until every worker thread has ended, handling their messages.
  void WaitForWorkers();
  // How long (real time) an idle loop or WaitForWorkers waits for running
  // workers before it reports a failure; 30 s unless set.
  void SetWorkerPatience(std::chrono::milliseconds patience) { workerPatience_ = patience; }
  Cursor CurrentCursor() const { return cursor_; }

  // ===== Windows of other processes =====
  HWND AddForeignWindow(ForeignWindow window);
  void RemoveForeignWindow(HWND hwnd);
  ForeignWindow* FindForeign(HWND hwnd);
  HWND TaskbarWindow() const { return taskbar_; }

  // ===== Backend =====
  std::string Name() const override { return "headless"; }
  Size ScreenSize() const override { return {kScreenWidth, kScreenHeight}; }
  Rect WorkArea() const override { return {0, 0, kScreenWidth, kScreenHeight - kTaskbarHeight}; }
  Point CursorPos() const override { return cursorPos_; }
  void SetCursor(Cursor cursor) override { cursor_ = cursor; }
  HWND CreateNative(Window& window) override;
  void DestroyNative(Window& window) override;
  void WindowChanged(Window& window, unsigned changes) override;
  void Present(Window& window, const Rect& rect) override;
  void Activate(Window& window) override;
  bool BeginMoveDrag(Window& window, Point screen) override;
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
  struct Step {
    enum class Kind { Action, Dialog, Menu } kind = Kind::Action;
    std::string description;
    std::function<void()> action;
    int templateId = 0;
    std::function<void(Dialog&)> onDialog;
    UINT menuChoice = 0;
  };
  struct Timer {
    UINT period = 0;
    std::uint64_t due = 0;
    std::uint64_t order = 0;
  };

  std::string DescribeStep(const Step& step) const;
  std::string DescribeLoop(const LoopContext& loop) const;
  void RunScriptLine(const std::string& word, const std::string& rest, int lineNumber);

  std::deque<Step> steps_;
  std::map<Dialog*, std::function<void(Dialog&)>> dialogActions_;
  std::vector<std::string> failures_;
  std::map<std::string, std::function<void(const std::string&)>> scriptCommands_;
  bool processMode_ = false;

  std::uint64_t now_ = 0;
  std::uint64_t timerOrder_ = 0;
  std::map<std::pair<HWND, UINT_PTR>, Timer> timers_;

  std::vector<HotkeyEntry> hotkeys_;
  std::map<std::pair<HWND, UINT>, NotifyIconData> tray_;
  std::optional<ShownMenu> lastMenu_;

  Point cursorPos_{kScreenWidth / 2, kScreenHeight / 2};
  Cursor cursor_ = Cursor::Arrow;

  mutable std::mutex mutex_;  // guards woken_, nextHandle_ and foreign_
  std::condition_variable wakeCondition_;
  bool woken_ = false;
  std::chrono::milliseconds workerPatience_{30000};
  HWND nextHandle_ = 0x10010;
  std::map<HWND, ForeignWindow> foreign_;
  HWND taskbar_ = 0;
};

// The backend a headless process run uses: the script named by the
// environment variable ZORV_HEADLESS_SCRIPT (when set) loaded, failures
// ending the process.
std::unique_ptr<HeadlessBackend> CreateForProcess();

}  // namespace ui::headless
