#include "ServerProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <stdexcept>

extern char** environ;

namespace zorv::server::test {
namespace {

constexpr int kStartTimeoutMs = 5000;

// Reads one line from fd, giving up at end of file or after the time-out.
std::string ReadLine(int fd) {
  std::string line;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 50) <= 0) continue;
    char c = 0;
    if (read(fd, &c, 1) != 1) break;
    if (c == '\n') return line;
    line += c;
  }
  return {};
}

}  // namespace

ServerProcess::ServerProcess(const std::vector<std::string>& args) {
  int out[2], err[2];
  if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  std::vector<std::string> argv = {ZORV_PLATFORM_SERVER, "--port", "0"};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> pointers;
  for (auto& a : argv) pointers.push_back(a.data());
  pointers.push_back(nullptr);
  const int rc = posix_spawn(&pid_, argv[0].c_str(), &actions, nullptr, pointers.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  close(err[1]);
  outFd_ = out[0];
  errFd_ = err[0];
  if (rc != 0) {
    pid_ = -1;
    throw std::runtime_error("cannot start " + argv[0]);
  }
  const std::string line = ReadLine(outFd_);
  if (!line.empty()) port_ = std::stoi(line);
}

ServerProcess::~ServerProcess() {
  if (pid_ > 0) Finish(SIGKILL);
  close(outFd_);
  close(errFd_);
}

int ServerProcess::Finish(int signal) {
  if (pid_ <= 0) return exitCode_;
  if (signal != 0) kill(pid_, signal);
  // stderr reaches its end when the server has exited.
  char buffer[4096];
  for (;;) {
    pollfd p{errFd_, POLLIN, 0};
    if (poll(&p, 1, kStartTimeoutMs) == 0) {
      kill(pid_, SIGKILL);  // did not end by itself: the test fails on its exit code
      continue;
    }
    ssize_t n = read(errFd_, buffer, sizeof buffer);
    if (n > 0) {
      errors_.append(buffer, static_cast<std::size_t>(n));
    } else if (n == 0 || errno != EINTR) {
      break;
    }
  }
  int status = 0;
  while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
  exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return exitCode_;
}

}  // namespace zorv::server::test
