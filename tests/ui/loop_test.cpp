// Message loops on the headless desktop: nested modal loops, the modal hook
// and its failures, messages from worker threads, timers on the virtual clock.
#include <gmock/gmock.h>

#include <atomic>
#include <functional>
#include <thread>

#include "ui/Dialog.h"
#include "ui/HeadlessFixture.h"

using namespace ui;
using ui::headless::ScriptFailure;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

DialogTemplate Template(int id) { return {id, WS_POPUP | WS_SYSMENU, 0, {200, 100}, L"", {{IDOK, {10, 60, 90, 90}, L"OK"}, {IDCANCEL, {100, 60, 180, 90}, L"Cancel"}}}; }

// A dialog that records commands, timers and the thread handling them.
class Recorder : public Dialog {
 public:
  explicit Recorder(int id = 164, Window* parent = nullptr) : Dialog(Template(id), parent) {}
  std::vector<UINT_PTR> ticks;
  std::vector<std::thread::id> commandThreads;
  std::function<void(UINT_PTR)> onTick;

 protected:
  bool OnCommand(WPARAM wParam, LPARAM lParam) override {
    if (LOWORD(wParam) == 10002) {
      commandThreads.push_back(std::this_thread::get_id());
      EndDialog(10002);
      return true;
    }
    return Dialog::OnCommand(wParam, lParam);
  }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_USER + 5) return LRESULT(wParam) * 2;
    return Dialog::WindowProc(message, wParam, lParam);
  }
  void OnTimer(UINT_PTR id) override {
    ticks.push_back(id);
    if (onTick) onTick(id);
  }
};

}  // namespace

using LoopTest = HeadlessTest;

TEST_F(LoopTest, NestedModalLoopsEndInOrderAndOwnersAreDisabledMeanwhile) {
  Recorder outer(101);
  SetMainWindow(&outer);
  std::vector<std::string> order;
  hl().ExpectDialog(101, [&](Dialog&) {
    Recorder inner(164);
    hl().ExpectDialog(164, [&](Dialog& box) {
      EXPECT_FALSE(outer.IsWindowEnabled());
      EXPECT_EQ(box.GetOwner(), &outer);
      // Ending the outer dialog first still lets the inner loop finish first.
      outer.EndDialog(7);
      box.EndDialog(IDOK);
      order.push_back("inner ended");
    });
    INT_PTR result = inner.DoModal();
    order.push_back("inner returned " + std::to_string(result));
    EXPECT_TRUE(outer.IsWindowEnabled());
  });
  INT_PTR result = outer.DoModal();
  order.push_back("outer returned " + std::to_string(result));
  EXPECT_THAT(order, ElementsAre("inner ended", "inner returned 1", "outer returned 7"));
  EXPECT_EQ(outer.GetSafeHwnd(), 0u);
}

TEST_F(LoopTest, ScriptedDialogsAreAnsweredInOrderByTheirButtons) {
  hl().AnswerDialog(164, IDOK).AnswerDialog(164, IDCANCEL).AnswerDialog(0, IDCANCEL);
  std::vector<INT_PTR> results;
  for (int i = 0; i < 3; ++i) {
    Recorder box(164);
    results.push_back(box.DoModal());
  }
  EXPECT_THAT(results, ElementsAre(IDOK, IDCANCEL, IDCANCEL));
}

TEST_F(LoopTest, TheModalHookReportsDialogsAndLoopsThatDoNotFollowTheScript) {
  struct Case {
    const char* name;
    std::function<void(headless::HeadlessBackend&)> script;
    std::function<void()> run;
    const char* message;
  };
  auto runBox = [] {
    Recorder box(164);
    box.DoModal();
  };
  const Case cases[] = {
      {"a dialog nobody expected", [](auto&) {}, runBox, "unexpected dialog 164 (Recorder): nothing more was scripted"},
      {"another dialog than expected", [](auto& hl) { hl.AnswerDialog(101, IDOK); }, runBox,
       "unexpected dialog 164 (Recorder) while the script expected dialog 101 (answer 1)"},
      {"a dialog expected where an action was", [](auto& hl) { hl.Then("press F5", [] {}); }, runBox,
       "unexpected dialog 164 (Recorder) while the script expected action \"press F5\""},
      {"a modal loop with nothing to do",
       [](auto& hl) { hl.ExpectDialog(164, nullptr); }, runBox,
       "the modal loop of dialog 164 (Recorder) went idle with nothing scripted"},
      {"an expected dialog that never comes",
       [](auto& hl) { hl.AnswerDialog(164, IDOK); }, [] { RunMessageLoop(); },
       "the message loop went idle while the script expected dialog 164 (answer 1), which never came"},
      {"an expected menu that never comes", [](auto& hl) { hl.ExpectMenu(32776); }, [] { RunMessageLoop(); },
       "expected popup menu, choosing 32776, which never came"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.script(hl());
    try {
      c.run();
      ADD_FAILURE() << "no failure reported";
    } catch (const ScriptFailure& failure) {
      EXPECT_THAT(failure.what(), HasSubstr(c.message));
    }
    ASSERT_EQ(hl().Failures().size(), 1u);
    hl().ClearFailures();
    hl().ClearScript();
  }
}

TEST_F(LoopTest, SendMessageFromAWorkerWaitsForTheUserInterfaceThread) {
  Recorder box(274);
  std::atomic<LRESULT> answer{0};
  hl().ExpectDialog(274, [&](Dialog& dialog) {
    HWND hwnd = dialog.GetSafeHwnd();
    BeginThread([hwnd, &answer] {
      answer = SendMessage(hwnd, WM_USER + 5, 21, 0);
      // The blocking send of a worker that reports it is done.
      SendMessage(hwnd, WM_COMMAND, 10002, 0);
    });
  });
  EXPECT_EQ(box.DoModal(), 10002);
  EXPECT_EQ(answer.load(), 42);
  EXPECT_THAT(box.commandThreads, ElementsAre(std::this_thread::get_id()));
  hl().WaitForWorkers();
  EXPECT_EQ(LiveWorkerCount(), 0);

  // Straight-line test code hands the worker's messages over while it waits.
  Recorder modeless(275);
  ASSERT_TRUE(modeless.Create(static_cast<Window*>(nullptr)));
  HWND hwnd = modeless.GetSafeHwnd();
  BeginThread([hwnd] { SendMessage(hwnd, WM_COMMAND, 10002, 0); });
  hl().WaitForWorkers();
  EXPECT_EQ(modeless.commandThreads.size(), 1u);
}

TEST_F(LoopTest, TimersTickOnTheVirtualClockOnly) {
  Recorder w(274);
  ASSERT_TRUE(w.Create(static_cast<Window*>(nullptr)));
  struct Case {
    const char* name;
    std::vector<std::pair<UINT_PTR, UINT>> timers;
    UINT advance;
    std::vector<UINT_PTR> ticks;
  };
  const Case cases[] = {
      {"not yet due", {{102, 10}}, 9, {}},
      {"a period below the minimum runs at 10 ms", {{7, 1}}, 25, {7, 7}},
      {"the overlay animation over 800 ms", {{5000, 200}}, 800, {5000, 5000, 5000, 5000}},
      {"two timers in time order", {{1, 10}, {2, 25}}, 50, {1, 1, 2, 1, 1, 2, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    w.ticks.clear();
    for (auto [id, ms] : c.timers) w.SetTimer(id, ms);
    hl().Advance(c.advance);
    EXPECT_EQ(w.ticks, c.ticks);
    for (auto [id, ms] : c.timers) w.KillTimer(id);
  }

  // A timer that kills itself on its first tick (re-fit after a restore).
  w.ticks.clear();
  w.onTick = [&](UINT_PTR id) { w.KillTimer(id); };
  w.SetTimer(102, 10);
  hl().Advance(100);
  EXPECT_THAT(w.ticks, ElementsAre(102));
  EXPECT_FALSE(w.KillTimer(102));

  // A timer started on another window's handle dies with that window.
  Recorder overlay(274);
  ASSERT_TRUE(overlay.Create(static_cast<Window*>(nullptr)));
  SetTimer(overlay.GetSafeHwnd(), 5000, 200);
  EXPECT_EQ(hl().TimerPeriod(overlay.GetSafeHwnd(), 5000), 200u);
  HWND gone = overlay.GetSafeHwnd();
  overlay.DestroyWindow();
  EXPECT_FALSE(hl().HasTimer(gone, 5000));
}

TEST_F(LoopTest, ALoopWaitingForAWorkerThatNeverReportsFails) {
  std::atomic<bool> release{false};
  hl().SetWorkerPatience(std::chrono::milliseconds(50));
  BeginThread([&] {
    while (!release) std::this_thread::yield();
  });
  Recorder box(274);
  hl().ExpectDialog(274, nullptr);
  EXPECT_THROW(box.DoModal(), ScriptFailure);
  EXPECT_THAT(hl().Failures(), ElementsAre("the modal loop of dialog 274 (Recorder) waited in vain for a worker thread to report"));
  hl().ClearFailures();
  release = true;
  hl().WaitForWorkers();
}
