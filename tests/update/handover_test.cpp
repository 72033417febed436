// The hand-over between two real builds of the client, as processes in a
// sandbox: the check downloads a newer build and starts it with "-d <installed>";
// that copy replaces the installed executable and starts it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/FileVersionText.h"
#include "app/InstallDir.h"
#include "platform/Process.h"
#include "support/ChildProcess.h"
#include "support/FileHelpers.h"
#include "support/Sandbox.h"
#include "update/ClientUpdater.h"
#include "update/FileDigest.h"
#include "update/TestServer.h"
#include "update/UpdateLogFile.h"

namespace {

using namespace zorv::test;
using Lines = std::vector<std::wstring>;

struct ExitCalled {
  int code;
};

// A process this test became the parent of: started by it, or orphaned below it
// (the test is a subreaper, so a grandchild whose parent ended comes here).
struct Descendant {
  pid_t pid;
  std::string name;  // the kernel's short name: the executable's file name
  std::string exe;   // empty once it has ended
  std::string commandLine;
  bool ended;
};

std::vector<Descendant> Children() {
  std::vector<Descendant> found;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string pidText = entry.path().filename();
    if (pidText.find_first_not_of("0123456789") != std::string::npos) continue;
    auto stat = ReadFile("/proc/" + pidText + "/stat");
    if (!stat) continue;
    // pid (name) state ppid ...
    auto open = stat->find('('), close = stat->rfind(')');
    if (open == std::string::npos || close == std::string::npos) continue;
    char state = 0;
    int ppid = 0;
    if (std::sscanf(stat->c_str() + close + 2, "%c %d", &state, &ppid) != 2 || ppid != getpid()) continue;
    Descendant d{std::stoi(pidText), stat->substr(open + 1, close - open - 1), "", "", state == 'Z'};
    std::error_code ec;
    d.exe = std::filesystem::read_symlink("/proc/" + pidText + "/exe", ec).string();
    d.commandLine = ReadFile("/proc/" + pidText + "/cmdline").value_or("");
    found.push_back(d);
  }
  return found;
}

// What the processes started meanwhile write to their standard error goes to a
// file (they inherit it from this process).
class ChildErrorsToFile {
 public:
  explicit ChildErrorsToFile(const std::string& path) {
    std::fflush(stderr);
    saved_ = dup(2);
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    dup2(fd, 2);
    close(fd);
  }
  ~ChildErrorsToFile() {
    std::fflush(stderr);
    dup2(saved_, 2);
    close(saved_);
  }

 private:
  int saved_ = -1;
};

// A normal client in the headless backend without a script stops, with this
// code and message, when its main window would appear.
constexpr const char kMainWindowReached[] = "dialog 101 (CZedoro_BrixDlg)";
constexpr int kStoppedClientExitCode = 97;

int ExitCodeOf(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

void EndAndReap(const Descendant& d) {
  if (!d.ended) kill(d.pid, SIGKILL);
  waitpid(d.pid, nullptr, 0);
}

// The install folder is worked out once per process, so the tests share one sandbox.
Sandbox& Box() {
  static Sandbox box;
  return box;
}

class HandOverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    // The clients started here run without a desktop and without a script.
    setenv("ZORV_BACKEND", "headless", 1);
    unsetenv("ZORV_HEADLESS_SCRIPT");
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    std::filesystem::remove_all(box.DataHome());
    std::filesystem::remove(box.Path("stderr.txt"));
    std::filesystem::create_directories(Narrow(GetInstallDir() + L"res"));
    installed = Narrow(GetInstallDir()) + "Zedoro_Brix";
    std::filesystem::copy_file(ZORV_CLIENT_EXE, installed);
    platform::SetExitHook([](int code) { throw ExitCalled{code}; });
  }
  void TearDown() override {
    platform::SetExitHook({});
    for (const Descendant& d : Children()) EndAndReap(d);
  }

  // Waits until the log's last line is the separator.
  static bool RunEnded() {
    return WaitUntil([] {
      Lines lines = LogMessages();
      return !lines.empty() && lines.back() == L"=====================";
    }, 20000);
  }

  std::string ChildErrors() { return ReadFile(box.Path("stderr.txt")).value_or(""); }

  Sandbox& box = Box();
  std::string installed;
  TestServer server;
};

TEST_F(HandOverTest, NewerBuildReplacesTheInstalledClientAndStartsIt) {
  const std::string newer = box.Path("Zedoro_Brix-1.0.0.2");
  ASSERT_EQ(RunChild({ZORV_STAMPVERSION, ZORV_CLIENT_EXE, newer, "1.0.0.2"}).exitCode, 0);
  server.Answer("/getClientVersion.php", server.Base() + "/client/Zedoro_Brix");
  server.Answer("/client/Zedoro_Brix", *ReadFile(newer));

  ClientUpdater updater(L"/brixqorntmp.exe", L"/Zorv/Zorv/");
  // This test stands in for the installed client that runs the check.
  updater.m_strTargetExe = Widen(installed);
  ASSERT_TRUE(updater.CheckVersion(server.WBase(), L"getClientVersion.php?p=Zorv&g=qorn&v=", L"1.0.0.1"));
  try {
    ChildErrorsToFile errors(box.Path("stderr.txt"));
    updater.DownloadAndRun(updater.m_strDownloadUrl);
    FAIL() << "the download did not hand over";
  } catch (const ExitCalled& exit) {
    EXPECT_EQ(exit.code, 0);
  }
  ASSERT_TRUE(RunEnded());

  std::wstring digest;
  ASSERT_TRUE(FileMd5Hex(Widen(newer), digest));
  Lines lines = LogMessages();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(Lines(lines.end() - 3, lines.end()),
            (Lines{L"Finish download,current file md5=" + digest, L"Update success.Current Version:1.0.0.2",
                   L"====================="}));
  EXPECT_EQ(GetFileVersionText(Widen(installed)), L"1.0.0.2");
  EXPECT_EQ(ReadFile(installed), ReadFile(newer));

  // The downloaded copy ended with 0. The installed file was started without
  // arguments (checked if it is caught running) and ran as a normal client up
  // to its main window.
  int copyExit = -1, installedExit = -1;
  ASSERT_TRUE(WaitUntil([&] {
    for (const Descendant& d : Children()) {
      if (d.name == "brixqorntmp.exe" && d.ended) copyExit = ExitCodeOf(d.pid);
      if (d.name == "Zedoro_Brix" && !d.ended) {
        EXPECT_EQ(d.exe, installed);
        EXPECT_EQ(d.commandLine, installed + std::string(1, '\0'));
      }
      if (d.name == "Zedoro_Brix" && d.ended) installedExit = ExitCodeOf(d.pid);
    }
    return copyExit != -1 && installedExit != -1;
  }, 20000)) << ChildErrors();
  EXPECT_EQ(copyExit, 0);
  EXPECT_EQ(installedExit, kStoppedClientExitCode);
  EXPECT_NE(ChildErrors().find(kMainWindowReached), std::string::npos) << ChildErrors();
}

TEST_F(HandOverTest, RunningInstalledClientCannotBeReplacedAndTheCopyCarriesOn) {
  // The installed executable stays busy: a copy of it is running.
  std::filesystem::remove(installed);
  std::filesystem::copy_file("/bin/sleep", installed);
  ASSERT_TRUE(platform::StartProcess(Widen(installed), L"60"));
  const std::string before = *ReadFile(installed);

  const std::string downloaded = box.DataHome() + "/cache/brixqorntmp.exe";
  std::filesystem::create_directories(box.DataHome() + "/cache");
  std::filesystem::copy_file(ZORV_CLIENT_EXE, downloaded);
  {
    ChildErrorsToFile errors(box.Path("stderr.txt"));
    ASSERT_TRUE(platform::StartProcess(Widen(downloaded), L"-d " + Widen(installed)));
  }
  // The copy carries on as a normal client after the failure, up to its main window.
  int copyExit = -1;
  ASSERT_TRUE(WaitUntil([&] {
    for (const Descendant& d : Children())
      if (d.name == "brixqorntmp.exe" && d.ended) copyExit = ExitCodeOf(d.pid);
    return copyExit != -1;
  }, 20000)) << ChildErrors();
  EXPECT_EQ(copyExit, kStoppedClientExitCode);
  EXPECT_NE(ChildErrors().find(kMainWindowReached), std::string::npos) << ChildErrors();

  EXPECT_EQ(LogMessages(), (Lines{L"Update failure.Error Code:" + std::to_wstring(ETXTBSY), L"====================="}));
  EXPECT_EQ(ReadFile(installed), before);
}

}  // namespace
