#include "ui/headless/HeadlessBackend.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "platform/Text.h"
#include "ui/Dialog.h"
#include "ui/System.h"
#include "ui/Window.h"

namespace ui::headless {

namespace {

std::string Narrow(const std::wstring& text) { return platform::ToUtf8(text); }

Point Centre(Window& window) {
  Rect r = window.GetWindowRect();
  return {r.left + r.Width() / 2, r.top + r.Height() / 2};
}

void CollectIds(const std::vector<MenuItem>& items, std::vector<UINT>& ids) {
  for (const MenuItem& item : items) {
    if (!item.popup.empty()) CollectIds(item.popup, ids);
    else if (!item.separator) ids.push_back(item.id);
  }
}

}  // namespace

HeadlessBackend::HeadlessBackend() {
  ForeignWindow taskbar;
  taskbar.className = L"Shell_TrayWnd";
  taskbar.rect = {0, kScreenHeight - kTaskbarHeight, kScreenWidth, kScreenHeight};
  taskbar.proc = [](UINT, WPARAM, LPARAM) -> LRESULT { return 0; };
  taskbar_ = AddForeignWindow(std::move(taskbar));
}

HeadlessBackend::~HeadlessBackend() {
  // A process run that ends normally with steps left over did not do what
  // its script expected.
  if (processMode_ && !steps_.empty()) {
    for (const Step& step : steps_) std::fprintf(stderr, "headless script: never ran: %s\n", DescribeStep(step).c_str());
    std::fflush(stderr);
    std::_Exit(kScriptFailureExitCode);
  }
}

HeadlessBackend& HeadlessBackend::Get() {
  auto* headless = IsInitialised() ? dynamic_cast<HeadlessBackend*>(&GetBackend()) : nullptr;
  if (!headless) throw ScriptFailure("the window backend is not the headless one");
  return *headless;
}

// ===== Script =====

HeadlessBackend& HeadlessBackend::Then(std::string description, std::function<void()> action) {
  Step step;
  step.kind = Step::Kind::Action;
  step.description = std::move(description);
  step.action = std::move(action);
  steps_.push_back(std::move(step));
  return *this;
}

HeadlessBackend& HeadlessBackend::ExpectDialog(int templateId, std::function<void(Dialog&)> then,
                                               std::string description) {
  Step step;
  step.kind = Step::Kind::Dialog;
  step.templateId = templateId;
  step.onDialog = std::move(then);
  step.description = std::move(description);
  steps_.push_back(std::move(step));
  return *this;
}

HeadlessBackend& HeadlessBackend::AnswerDialog(int templateId, int command) {
  return ExpectDialog(
      templateId,
      [this, command](Dialog& dialog) {
        Window* control = dialog.GetDlgItem(command);
        if (control && control->IsWindowVisible() && control->IsWindowEnabled()) {
          Click(*control);
        } else {
          dialog.PostMessage(WM_COMMAND, MAKEWPARAM(WORD(command), BN_CLICKED), 0);
          PumpMessages();
        }
      },
      "answer " + std::to_string(command));
}

HeadlessBackend& HeadlessBackend::ExpectMenu(UINT choice) {
  Step step;
  step.kind = Step::Kind::Menu;
  step.menuChoice = choice;
  steps_.push_back(std::move(step));
  return *this;
}

std::string HeadlessBackend::DescribeStep(const Step& step) const {
  switch (step.kind) {
    case Step::Kind::Action:
      return "action \"" + step.description + "\"";
    case Step::Kind::Dialog:
      return (step.templateId ? "dialog " + std::to_string(step.templateId) : std::string("a dialog")) +
             (step.description.empty() ? "" : " (" + step.description + ")");
    case Step::Kind::Menu:
      return "popup menu, choosing " + std::to_string(step.menuChoice);
  }
  return {};
}

std::string HeadlessBackend::DescribeLoop(const LoopContext& loop) const {
  if (!loop.modal) return "the message loop";
  return "the modal loop of " + Narrow(loop.modal->DescribeForScript());
}

std::vector<std::string> HeadlessBackend::PendingSteps() const {
  std::vector<std::string> out;
  for (const Step& step : steps_) out.push_back(DescribeStep(step));
  return out;
}

void HeadlessBackend::ClearScript() {
  steps_.clear();
  dialogActions_.clear();
}

void HeadlessBackend::Fail(const std::string& message) {
  failures_.push_back(message);
  if (processMode_) {
    std::fprintf(stderr, "headless script: %s\n", message.c_str());
    std::fflush(stderr);
    std::_Exit(kScriptFailureExitCode);
  }
  throw ScriptFailure(message);
}

void HeadlessBackend::BeforeModal(Dialog& dialog) {
  std::string what = Narrow(dialog.DescribeForScript());
  if (steps_.empty()) Fail("unexpected " + what + ": nothing more was scripted");
  Step& step = steps_.front();
  if (step.kind != Step::Kind::Dialog) Fail("unexpected " + what + " while the script expected " + DescribeStep(step));
  if (step.templateId && step.templateId != dialog.GetTemplateId())
    Fail("unexpected " + what + " while the script expected " + DescribeStep(step));
  if (step.onDialog) dialogActions_[&dialog] = std::move(step.onDialog);
  steps_.pop_front();
}

void HeadlessBackend::WaitForEvents(const LoopContext& loop) {
  {
    std::lock_guard lock(mutex_);
    if (woken_) {
      woken_ = false;
      return;
    }
  }
  if (loop.modal) {
    auto it = dialogActions_.find(loop.modal);
    if (it != dialogActions_.end()) {
      auto action = std::move(it->second);
      dialogActions_.erase(it);
      action(*loop.modal);
      return;
    }
  }
  if (!steps_.empty()) {
    Step& step = steps_.front();
    if (step.kind != Step::Kind::Action)
      Fail(DescribeLoop(loop) + " went idle while the script expected " + DescribeStep(step) + ", which never came");
    auto action = std::move(step.action);
    steps_.pop_front();
    action();
    return;
  }
  if (LiveWorkerCount() > 0) {
    std::unique_lock lock(mutex_);
    bool woke = wakeCondition_.wait_for(lock, workerPatience_, [this] { return woken_ || LiveWorkerCount() == 0; });
    woken_ = false;
    if (woke) return;
    lock.unlock();
    Fail(DescribeLoop(loop) + " waited in vain for a worker thread to report");
  }
  Fail(DescribeLoop(loop) + " went idle with nothing scripted");
}

void HeadlessBackend::Wake() {
  {
    std::lock_guard lock(mutex_);
    woken_ = true;
  }
  wakeCondition_.notify_all();
}

void HeadlessBackend::WaitForWorkers() {
  auto deadline = std::chrono::steady_clock::now() + workerPatience_;
  for (;;) {
    PumpMessages();
    if (LiveWorkerCount() == 0) break;
    std::unique_lock lock(mutex_);
    if (!wakeCondition_.wait_until(lock, deadline, [this] { return woken_ || LiveWorkerCount() == 0; })) {
      lock.unlock();
      Fail("worker threads did not end");
    }
    woken_ = false;
  }
  PumpMessages();
}

// ===== Script file =====

void HeadlessBackend::RegisterScriptCommand(const std::string& word,
                                            std::function<void(const std::string&)> handler) {
  scriptCommands_[word] = std::move(handler);
}

void HeadlessBackend::LoadScript(const std::string& text) {
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    if (auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos) continue;
    line.erase(0, start);
    size_t space = line.find_first_of(" \t");
    std::string word = line.substr(0, space);
    std::string rest = space == std::string::npos ? "" : line.substr(line.find_first_not_of(" \t", space));
    RunScriptLine(word, rest, number);
  }
}

void HeadlessBackend::RunScriptLine(const std::string& word, const std::string& rest, int lineNumber) {
  std::istringstream in(rest);
  auto bad = [&](const std::string& why) {
    throw ScriptFailure("script line " + std::to_string(lineNumber) + " (" + word + "): " + why);
  };
  auto number = [&](long long& value) {
    std::string token;
    if (!(in >> token)) return false;
    char* end = nullptr;
    value = std::strtoll(token.c_str(), &end, 0);
    if (!end || *end) bad("not a number: " + token);
    return true;
  };
  auto noMore = [&] {
    std::string extra;
    if (in >> extra) bad("unexpected \"" + extra + "\"");
  };
  long long a = 0, b = 0;
  if (word == "answer") {
    if (!number(a)) bad("needs a command number");
    if (!number(b)) b = 0;
    noMore();
    AnswerDialog(int(b), int(a));
  } else if (word == "dialog") {
    if (!number(a)) bad("needs a template id");
    noMore();
    ExpectDialog(int(a), nullptr, "runs");
  } else if (word == "menu") {
    if (!number(a)) bad("needs an item id (0 dismisses)");
    noMore();
    ExpectMenu(UINT(a));
  } else if (word == "click") {
    if (!number(a)) bad("needs a control id");
    noMore();
    int id = int(a);
    Then("click " + std::to_string(id), [this, id] {
      Window* active = Window::FromHandle(GetActiveWindow());
      if (!active) Fail("click " + std::to_string(id) + ": no window of ours is active");
      ClickControl(*active, id);
    });
  } else if (word == "hotkey" || word == "key") {
    if (!number(a)) bad("needs a virtual key code");
    if (!number(b)) b = 0;
    noMore();
    UINT vk = UINT(a), mods = UINT(b);
    if (word == "hotkey") {
      Then(word + " " + rest, [this, vk, mods] {
        if (!PressHotkey(mods, vk)) Fail("hotkey " + std::to_string(vk) + " is not registered");
      });
    } else {
      Then(word + " " + rest, [this, vk, mods] { KeyPress(vk, mods); });
    }
  } else if (word == "tray") {
    std::string which;
    in >> which;
    noMore();
    if (which != "left" && which != "right") bad("needs left or right");
    auto button = which == "left" ? input::MouseButton::Left : input::MouseButton::Right;
    Then("tray " + which, [this, button] {
      if (!ClickTray(button)) Fail("tray click: there is no tray icon");
    });
  } else if (word == "advance") {
    if (!number(a) || a < 0) bad("needs milliseconds");
    noMore();
    UINT ms = UINT(a);
    Then("advance " + std::to_string(ms), [this, ms] { Advance(ms); });
  } else if (word == "wait-workers") {
    noMore();
    Then("wait-workers", [this] { WaitForWorkers(); });
  } else if (word == "quit") {
    noMore();
    Then("quit", [] { PostQuitMessage(0); });
  } else {
    std::string line = rest;
    Then(word + " " + rest, [this, word, line] {
      auto it = scriptCommands_.find(word);
      if (it == scriptCommands_.end()) Fail("nothing in this program understands the script word \"" + word + "\"");
      it->second(line);
    });
  }
}

// ===== Clock and timers =====

void HeadlessBackend::StartTimer(HWND hwnd, UINT_PTR id, UINT elapseMs) {
  timers_[{hwnd, id}] = {elapseMs, now_ + elapseMs, timerOrder_++};
}

void HeadlessBackend::StopTimer(HWND hwnd, UINT_PTR id) { timers_.erase({hwnd, id}); }

bool HeadlessBackend::HasTimer(HWND hwnd, UINT_PTR id) const { return timers_.count({hwnd, id}) != 0; }

UINT HeadlessBackend::TimerPeriod(HWND hwnd, UINT_PTR id) const {
  auto it = timers_.find({hwnd, id});
  return it == timers_.end() ? 0 : it->second.period;
}

void HeadlessBackend::Advance(UINT ms) {
  std::uint64_t target = now_ + ms;
  for (;;) {
    auto next = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
      if (it->second.due > target) continue;
      if (next == timers_.end() || it->second.due < next->second.due ||
          (it->second.due == next->second.due && it->second.order < next->second.order))
        next = it;
    }
    if (next == timers_.end()) break;
    auto key = next->first;
    now_ = next->second.due;
    next->second.due += next->second.period;
    next->second.order = timerOrder_++;
    input::TimerFired(key.first, key.second);
    PumpMessages();
  }
  now_ = target;
  PumpMessages();
}

// ===== Hotkeys =====

bool HeadlessBackend::RegisterHotKey(HWND hwnd, int id, UINT modifiers, UINT virtualKey) {
  for (const HotkeyEntry& e : hotkeys_)
    if (e.modifiers == modifiers && e.virtualKey == virtualKey) return false;
  hotkeys_.push_back({hwnd, id, modifiers, virtualKey});
  return true;
}

bool HeadlessBackend::UnregisterHotKey(HWND hwnd, int id) {
  auto it = std::find_if(hotkeys_.begin(), hotkeys_.end(), [&](const HotkeyEntry& e) { return e.hwnd == hwnd && e.id == id; });
  if (it == hotkeys_.end()) return false;
  hotkeys_.erase(it);
  return true;
}

std::optional<HotkeyEntry> HeadlessBackend::FindHotkey(HWND hwnd, int id) const {
  for (const HotkeyEntry& e : hotkeys_)
    if (e.hwnd == hwnd && e.id == id) return e;
  return std::nullopt;
}

void HeadlessBackend::TakeHotkeyForOtherProgram(UINT modifiers, UINT virtualKey) {
  hotkeys_.push_back({0, 0, modifiers, virtualKey});
}

bool HeadlessBackend::PressHotkey(UINT modifiers, UINT virtualKey) {
  for (const HotkeyEntry& e : hotkeys_) {
    if (e.modifiers != modifiers || e.virtualKey != virtualKey) continue;
    if (!e.hwnd) return false;
    PostMessage(e.hwnd, WM_HOTKEY, WPARAM(e.id), MAKELPARAM(WORD(modifiers), WORD(virtualKey)));
    PumpMessages();
    return true;
  }
  return false;
}

// ===== Tray and menus =====

bool HeadlessBackend::NotifyIcon(DWORD message, const NotifyIconData& data) {
  auto key = std::make_pair(data.hWnd, data.uID);
  auto it = tray_.find(key);
  switch (message) {
    case NIM_ADD:
      if (it != tray_.end() || !IsWindow(data.hWnd)) return false;
      tray_[key] = data;
      return true;
    case NIM_MODIFY:
      if (it == tray_.end()) return false;
      if (data.uFlags & NIF_MESSAGE) it->second.uCallbackMessage = data.uCallbackMessage;
      if (data.uFlags & NIF_ICON) it->second.hIcon = data.hIcon;
      if (data.uFlags & NIF_TIP) it->second.szTip = data.szTip;
      return true;
    case NIM_DELETE:
      if (it == tray_.end()) return false;
      tray_.erase(it);
      return true;
    default:
      return false;
  }
}

Point HeadlessBackend::TrayIconPosition() const { return {kScreenWidth - 60, kScreenHeight - kTaskbarHeight / 2}; }

bool HeadlessBackend::ClickTray(input::MouseButton button) {
  if (tray_.empty()) return false;
  const NotifyIconData icon = tray_.begin()->second;
  cursorPos_ = TrayIconPosition();
  if (!(icon.uFlags & NIF_MESSAGE) || !icon.uCallbackMessage) return true;
  bool left = button == input::MouseButton::Left;
  PostMessage(icon.hWnd, icon.uCallbackMessage, icon.uID, left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN);
  PostMessage(icon.hWnd, icon.uCallbackMessage, icon.uID, left ? WM_LBUTTONUP : WM_RBUTTONUP);
  PumpMessages();
  return true;
}

UINT HeadlessBackend::TrackPopupMenu(const Menu& menu, Point screen, HWND owner) {
  lastMenu_ = ShownMenu{menu, screen, owner};
  std::vector<UINT> ids;
  CollectIds(menu.items, ids);
  std::string list;
  for (UINT id : ids) list += (list.empty() ? "" : ", ") + std::to_string(id);
  if (steps_.empty() || steps_.front().kind != Step::Kind::Menu)
    Fail("unexpected popup menu (items " + list + ")" +
         (steps_.empty() ? std::string(": nothing more was scripted")
                         : " while the script expected " + DescribeStep(steps_.front())));
  UINT choice = steps_.front().menuChoice;
  steps_.pop_front();
  if (choice && std::find(ids.begin(), ids.end(), choice) == ids.end())
    Fail("the popup menu has no item " + std::to_string(choice) + " (items " + list + ")");
  return choice;
}

// ===== Input =====

bool HeadlessBackend::ClickAt(Point screen) {
  MoveMouse(screen);
  bool taken = input::MouseDown(input::MouseButton::Left, screen);
  PumpMessages();
  input::MouseUp(input::MouseButton::Left, screen);
  PumpMessages();
  return taken;
}

bool HeadlessBackend::Click(Window& window) { return ClickAt(Centre(window)); }

bool HeadlessBackend::ClickControl(Window& window, int id) {
  Window* control = window.GetDlgItem(id);
  if (!control)
    Fail("click " + std::to_string(id) + ": window \"" + Narrow(window.GetWindowText()) + "\" of class " +
         Narrow(window.GetClassName()) + " has no such control");
  return Click(*control);
}

bool HeadlessBackend::DoubleClickAt(Point screen) {
  MoveMouse(screen);
  bool taken = input::MouseDown(input::MouseButton::Left, screen);
  PumpMessages();
  input::MouseUp(input::MouseButton::Left, screen);
  PumpMessages();
  input::MouseDoubleClick(input::MouseButton::Left, screen);
  PumpMessages();
  input::MouseUp(input::MouseButton::Left, screen);
  PumpMessages();
  return taken;
}

bool HeadlessBackend::DoubleClick(Window& window) { return DoubleClickAt(Centre(window)); }

bool HeadlessBackend::Drag(Point from, Point to) {
  MoveMouse(from);
  bool taken = input::MouseDown(input::MouseButton::Left, from);
  PumpMessages();
  MoveMouse(to);
  input::MouseUp(input::MouseButton::Left, to);
  PumpMessages();
  return taken;
}

void HeadlessBackend::MoveMouse(Point screen) {
  cursorPos_ = screen;
  input::MouseMove(screen);
  PumpMessages();
}

void HeadlessBackend::Hover(Window& window) {
  MoveMouse(Centre(window));
  input::MouseRest();
  PumpMessages();
}

void HeadlessBackend::MoveOffWindows() {
  // The taskbar strip is not one of our windows.
  MoveMouse({5, kScreenHeight - 5});
}

bool HeadlessBackend::KeyDown(UINT virtualKey, UINT modifiers) {
  for (const HotkeyEntry& e : hotkeys_) {
    if (e.modifiers == modifiers && e.virtualKey == virtualKey) {
      if (e.hwnd) {
        PostMessage(e.hwnd, WM_HOTKEY, WPARAM(e.id), MAKELPARAM(WORD(modifiers), WORD(virtualKey)));
        PumpMessages();
      }
      return e.hwnd != 0;
    }
  }
  bool taken = input::KeyDown(virtualKey, modifiers);
  PumpMessages();
  return taken;
}

bool HeadlessBackend::KeyUp(UINT virtualKey, UINT modifiers) {
  bool taken = input::KeyUp(virtualKey, modifiers);
  PumpMessages();
  return taken;
}

bool HeadlessBackend::KeyPress(UINT virtualKey, UINT modifiers) {
  bool taken = KeyDown(virtualKey, modifiers);
  KeyUp(virtualKey, modifiers);
  input::ModifiersReleased();
  return taken;
}

void HeadlessBackend::ActivateOtherApplication() {
  input::OtherApplicationActivated();
  PumpMessages();
}

// ===== Native windows =====

HWND HeadlessBackend::CreateNative(Window&) {
  std::lock_guard lock(mutex_);
  HWND h = nextHandle_;
  nextHandle_ += 2;
  return h;
}

void HeadlessBackend::DestroyNative(Window& window) {
  HWND hwnd = window.GetSafeHwnd();
  for (auto it = timers_.begin(); it != timers_.end();) it = it->first.first == hwnd ? timers_.erase(it) : std::next(it);
  std::erase_if(hotkeys_, [hwnd](const HotkeyEntry& e) { return e.hwnd == hwnd; });
}

void HeadlessBackend::WindowChanged(Window&, unsigned) {}
void HeadlessBackend::Present(Window&, const Rect&) {}
void HeadlessBackend::Activate(Window&) {}
bool HeadlessBackend::BeginMoveDrag(Window&, Point) { return false; }

// ===== Windows of other processes =====

HWND HeadlessBackend::AddForeignWindow(ForeignWindow window) {
  std::lock_guard lock(mutex_);
  HWND h = nextHandle_;
  nextHandle_ += 2;
  foreign_[h] = std::move(window);
  return h;
}

void HeadlessBackend::RemoveForeignWindow(HWND hwnd) {
  std::lock_guard lock(mutex_);
  foreign_.erase(hwnd);
}

ForeignWindow* HeadlessBackend::FindForeign(HWND hwnd) {
  std::lock_guard lock(mutex_);
  auto it = foreign_.find(hwnd);
  return it == foreign_.end() ? nullptr : &it->second;
}

bool HeadlessBackend::IsForeignWindow(HWND hwnd) {
  std::lock_guard lock(mutex_);
  return foreign_.count(hwnd) != 0;
}

LRESULT HeadlessBackend::SendForeign(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  std::function<LRESULT(UINT, WPARAM, LPARAM)> proc;
  {
    std::lock_guard lock(mutex_);
    auto it = foreign_.find(hwnd);
    if (it == foreign_.end()) return 0;
    it->second.received.push_back({hwnd, message, wParam, lParam, {}});
    proc = it->second.proc;
  }
  return proc ? proc(message, wParam, lParam) : 0;
}

bool HeadlessBackend::PostForeign(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!IsForeignWindow(hwnd)) return false;
  SendForeign(hwnd, message, wParam, lParam);
  return true;
}

bool HeadlessBackend::ForeignWindowRect(HWND hwnd, Rect* screenRect) {
  std::lock_guard lock(mutex_);
  auto it = foreign_.find(hwnd);
  if (it == foreign_.end()) return false;
  *screenRect = it->second.rect;
  return true;
}

bool HeadlessBackend::ForeignClientRect(HWND hwnd, Rect* clientRect) {
  Rect r;
  if (!ForeignWindowRect(hwnd, &r)) return false;
  *clientRect = {0, 0, r.Width(), r.Height()};
  return true;
}

bool HeadlessBackend::ForeignIsVisible(HWND hwnd) {
  std::lock_guard lock(mutex_);
  auto it = foreign_.find(hwnd);
  return it != foreign_.end() && it->second.visible;
}

HWND HeadlessBackend::FindForeignWindow(const wchar_t* className, const wchar_t* windowName) {
  std::lock_guard lock(mutex_);
  for (auto& [h, w] : foreign_)
    if (w.className == className && (!windowName || w.title == windowName)) return h;
  return 0;
}

// ===== Process runs =====

std::unique_ptr<HeadlessBackend> CreateForProcess() {
  auto backend = std::make_unique<HeadlessBackend>();
  backend->SetProcessMode(true);
  if (const char* path = std::getenv("ZORV_HEADLESS_SCRIPT"); path && *path) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
      std::fprintf(stderr, "headless script: cannot read %s\n", path);
      std::_Exit(kScriptFailureExitCode);
    }
    std::string text;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
    std::fclose(file);
    try {
      backend->LoadScript(text);
    } catch (const ScriptFailure& failure) {
      std::fprintf(stderr, "headless script: %s\n", failure.what());
      std::_Exit(kScriptFailureExitCode);
    }
  }
  return backend;
}

}  // namespace ui::headless
