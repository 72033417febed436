#include "platform/Process.h"

#include <signal.h>
#include <spawn.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/Files.h"
#include "platform/Text.h"

extern char** environ;

namespace platform {
namespace {

// StartProcess hands the exact command-line text to the child in this
// variable; the child takes it once, at load time, and removes it so that its
// own children never see it.
constexpr const char kRawCommandLine[] = "ZORV_RAW_COMMAND_LINE";

std::vector<std::string> OwnArguments() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> args;
  std::size_t start = 0;
  while (start < all.size()) {
    std::size_t end = all.find('\0', start);
    if (end == std::string::npos) end = all.size();
    args.push_back(all.substr(start, end - start));
    start = end + 1;
  }
  return args;
}

std::string Join(const std::vector<std::string>& args, std::size_t from) {
  std::string text;
  for (std::size_t i = from; i < args.size(); ++i) {
    if (i > from) text += ' ';
    text += args[i];
  }
  return text;
}

// The argument vector StartProcess builds: the program, then the text split at
// every blank, so that ps shows the arguments and the text can be checked.
std::vector<std::string> SplitAtBlanks(const std::string& text) {
  std::vector<std::string> pieces;
  if (text.empty()) return pieces;
  std::size_t start = 0;
  for (;;) {
    std::size_t blank = text.find(' ', start);
    pieces.push_back(text.substr(start, blank - start));
    if (blank == std::string::npos) break;
    start = blank + 1;
  }
  return pieces;
}

std::wstring InitialCommandLine() {
  std::vector<std::string> args = OwnArguments();
  const char* raw = std::getenv(kRawCommandLine);
  std::string handed = raw != nullptr ? raw : "";
  const bool fromStartProcess = raw != nullptr && Join(args, 1) == handed;
  unsetenv(kRawCommandLine);
  // A variable left over from elsewhere (our arguments do not match it) is ignored.
  if (fromStartProcess) return FromUtf8(handed);
  if (args.empty()) return {};
  std::string text = "\"" + args[0] + "\"";
  if (args.size() > 1) text += " " + Join(args, 1);
  return FromUtf8(text);
}

struct State {
  std::mutex mutex;
  std::wstring commandLine = InitialCommandLine();
  std::function<void(int)> exitHook;
};

State& TheState() {
  static State state;
  return state;
}

// Taken at load time, before any thread or child exists.
[[maybe_unused]] const bool g_commandLineTaken = (TheState(), true);

}  // namespace

std::wstring GetCommandLine() {
  State& s = TheState();
  std::lock_guard lock(s.mutex);
  return s.commandLine;
}

void SetCommandLine(const std::wstring& text) {
  State& s = TheState();
  std::lock_guard lock(s.mutex);
  s.commandLine = text;
}

std::wstring GetModulePath() {
  std::string buffer(4096, '\0');
  ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (n <= 0) {
    SetLastError(errno);
    return {};
  }
  buffer.resize(static_cast<std::size_t>(n));
  // The path stays what it was even when the file has been replaced meanwhile.
  constexpr std::string_view kDeleted = " (deleted)";
  if (buffer.ends_with(kDeleted)) buffer.resize(buffer.size() - kDeleted.size());
  return FromUtf8(buffer);
}

bool StartProcess(const std::wstring& program, const std::wstring& commandLine) {
  const std::string path = ToUtf8(program);
  const std::string text = ToUtf8(commandLine);
  std::vector<std::string> args = SplitAtBlanks(text);
  args.insert(args.begin(), path);
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  const std::string prefix = std::string(kRawCommandLine) + "=";
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e)
    if (std::string_view(*e).rfind(prefix, 0) != 0) env.emplace_back(*e);
  env.push_back(prefix + text);
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);

  // No descriptor beyond the standard three reaches the child, its signals
  // start from the defaults, and it lives on its own like a Windows process.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setsigdefault(&attr, &all);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID);
  pid_t pid = 0;
  int rc = posix_spawn(&pid, path.c_str(), &actions, &attr, argv.data(), envp.data());
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    SetLastError(rc);
    return false;
  }
  return true;
}

void ExitProcessNow(int code) {
  std::function<void(int)> hook;
  {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    hook = s.exitHook;
  }
  if (hook) hook(code);
  // At once: no destructors of objects other threads may still be using.
  std::fflush(nullptr);
  _exit(code);
}

void SetExitHook(std::function<void(int)> hook) {
  State& s = TheState();
  std::lock_guard lock(s.mutex);
  s.exitHook = std::move(hook);
}

void SleepMilliseconds(int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace platform
