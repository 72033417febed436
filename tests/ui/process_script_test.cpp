// The headless backend of a process run: its script comes from the file named
// by ZORV_HEADLESS_SCRIPT, and every failure ends the process with code 97
// and a line on stderr.
#include <gmock/gmock.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "ui/Dialog.h"
#include "ui/System.h"
#include "ui/headless/HeadlessBackend.h"

using namespace ui;
using ::testing::ElementsAre;
using ::testing::ExitedWithCode;

namespace {

class ProcessScriptTest : public ::testing::Test {
 protected:
  void UseScript(const std::string& text) {
    std::string path = dir_ + "/script.txt";
    std::ofstream(path) << text;
    setenv("ZORV_HEADLESS_SCRIPT", path.c_str(), 1);
  }
  void TearDown() override { unsetenv("ZORV_HEADLESS_SCRIPT"); }

  std::string dir_ = ::testing::TempDir();
};

void RunBoxes(int count) {
  Init(headless::CreateForProcess());
  for (int i = 0; i < count; ++i) {
    Dialog box({164, WS_POPUP, 0, {253, 106}, L"", {{IDOK, {45, 61, 127, 95}, L""}, {IDCANCEL, {137, 61, 219, 95}, L""}}});
    box.DoModal();
  }
  Shutdown();
  std::exit(0);
}

}  // namespace

TEST_F(ProcessScriptTest, TheScriptFileIsReadAtStart) {
  UseScript("answer 1 164\nmenu 32777\n");
  auto backend = headless::CreateForProcess();
  EXPECT_THAT(backend->PendingSteps(), ElementsAre("dialog 164 (answer 1)", "popup menu, choosing 32777"));
  backend->ClearScript();
}

TEST_F(ProcessScriptTest, FailuresEndTheProcessWithTheirMessage) {
  UseScript("answer 1\n");
  EXPECT_EXIT(RunBoxes(1), ExitedWithCode(0), "");
  EXPECT_EXIT(RunBoxes(2), ExitedWithCode(headless::kScriptFailureExitCode),
              "headless script: unexpected dialog 164 \\(Dialog\\): nothing more was scripted");
  UseScript("answer 1\nanswer 2\n");
  EXPECT_EXIT(RunBoxes(1), ExitedWithCode(headless::kScriptFailureExitCode),
              "headless script: never ran: a dialog \\(answer 2\\)");
  UseScript("answer one\n");
  EXPECT_EXIT(RunBoxes(0), ExitedWithCode(headless::kScriptFailureExitCode),
              "headless script: script line 1 \\(answer\\): not a number: one");
  setenv("ZORV_HEADLESS_SCRIPT", (dir_ + "/missing.txt").c_str(), 1);
  EXPECT_EXIT(RunBoxes(0), ExitedWithCode(headless::kScriptFailureExitCode), "headless script: cannot read");
}
