// The finisher's failures in this process: a target that cannot be replaced is
// logged with its error code and the caller carries on.
#include "app/FinishUpdate.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <optional>

#include "app/InstallDir.h"
#include "platform/Files.h"
#include "support/FileHelpers.h"
#include "support/Sandbox.h"
#include "update/UpdateLog.h"
#include "update/UpdateLogFile.h"

namespace {

using namespace zorv::test;
using Lines = std::vector<std::wstring>;

Sandbox& Box() {
  static Sandbox box;
  return box;
}

// Keeps a copy of a program running from path, as a running client keeps its
// executable busy.
class RunningCopy {
 public:
  explicit RunningCopy(const std::string& path) {
    std::filesystem::copy_file("/bin/sleep", path, std::filesystem::copy_options::overwrite_existing);
    char seconds[] = "30";
    std::string program = path;
    char* argv[] = {program.data(), seconds, nullptr};
    if (posix_spawn(&pid_, path.c_str(), nullptr, nullptr, argv, environ) != 0) pid_ = -1;
  }
  ~RunningCopy() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }

 private:
  pid_t pid_ = -1;
};

class FinishUpdateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Box();
    std::filesystem::remove_all(Box().DataHome());
    std::filesystem::create_directories(Narrow(GetInstallDir() + L"res"));
  }
};

TEST_F(FinishUpdateTest, DashDAloneDoesNothing) {
  FinishUpdate(L"-d");
  EXPECT_FALSE(Exists(Narrow(UpdateLogPath())));
}

TEST_F(FinishUpdateTest, TargetThatCannotBeReplacedIsLoggedAndLeftAlone) {
  const std::string installed = Narrow(GetInstallDir()) + "Zedoro Brix";
  struct Case {
    const char* name;
    std::string target;
    int error;
    bool readOnly;
    bool running;
  };
  const Case cases[] = {
      {"missing folder", Narrow(GetInstallDir()) + "gone/Zedoro_Brix", ENOENT, false, false},
      {"empty path", "", ENOENT, false, false},
      {"read-only", installed, EACCES, true, false},
      // Still running after the bounded wait.
      {"running", installed, ETXTBSY, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(Narrow(UpdateLogPath()));
    std::string before;
    if (c.readOnly) {
      ASSERT_TRUE(WriteFile(installed, "old client"));
      ASSERT_TRUE(platform::SetReadOnly(Widen(installed), true));
      before = "old client";
    }
    std::optional<RunningCopy> running;
    if (c.running) {
      running.emplace(installed);
      before = *ReadFile(installed);
    }
    FinishUpdate(L"-d " + Widen(c.target));
    EXPECT_EQ(LogMessages(), (Lines{L"Update failure.Error Code:" + std::to_wstring(c.error), L"====================="}));
    if (!before.empty()) {
      EXPECT_EQ(ReadFile(installed), before);
    }
    running.reset();
    if (c.readOnly) platform::SetReadOnly(Widen(installed), false);
    std::filesystem::remove(installed);
  }
}

}  // namespace
