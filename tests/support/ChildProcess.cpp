#include "support/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

extern char** environ;

namespace zorv::test {
namespace {

std::string NameOf(const std::string& entry) { return entry.substr(0, entry.find('=')); }

std::vector<std::string> ChildEnvironment(const ChildOptions& options) {
  std::vector<std::string> env;
  auto overridden = [&](const std::string& name) {
    for (const auto& e : options.env)
      if (NameOf(e) == name) return true;
    for (const auto& u : options.unsetEnv)
      if (u == name) return true;
    return false;
  };
  for (char** p = environ; *p != nullptr; ++p) {
    std::string entry = *p;
    if (!overridden(NameOf(entry))) env.push_back(entry);
  }
  env.insert(env.end(), options.env.begin(), options.env.end());
  return env;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> out;
  for (auto& s : strings) out.push_back(s.data());
  out.push_back(nullptr);
  return out;
}

}  // namespace

ChildResult RunChild(const std::vector<std::string>& argv, const ChildOptions& options) {
  ChildResult result;
  int inPipe[2], outPipe[2], errPipe[2];
  if (pipe2(inPipe, O_CLOEXEC) != 0) return result;
  if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0) return result;

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, inPipe[0], 0);
  posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
  posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
  if (!options.workingDir.empty())
    posix_spawn_file_actions_addchdir_np(&actions, options.workingDir.c_str());

  std::vector<std::string> args = argv;
  std::vector<std::string> env = ChildEnvironment(options);
  std::vector<char*> argp = Pointers(args);
  std::vector<char*> envp = Pointers(env);
  pid_t pid = 0;
  int rc = posix_spawnp(&pid, argv.at(0).c_str(), &actions, nullptr, argp.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(inPipe[0]);
  close(outPipe[1]);
  close(errPipe[1]);
  if (rc != 0) {
    close(inPipe[1]);
    close(outPipe[0]);
    close(errPipe[0]);
    return result;
  }
  result.started = true;

  // Feed stdin in one go (small texts), ignoring a child that does not read it.
  signal(SIGPIPE, SIG_IGN);
  if (!options.stdinText.empty()) {
    const char* p = options.stdinText.data();
    std::size_t left = options.stdinText.size();
    while (left > 0) {
      ssize_t n = write(inPipe[1], p, left);
      if (n <= 0) break;
      p += n;
      left -= static_cast<std::size_t>(n);
    }
  }
  close(inPipe[1]);

  // Read both outputs until the child has ended. A grandchild may keep the
  // pipes open, so the child's end (not the pipes' end) decides.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(options.timeoutMs);
  pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
  std::string* sinks[2] = {&result.out, &result.err};
  auto drain = [&](int waitMs) {
    if (fds[0].fd < 0 && fds[1].fd < 0) return false;
    int n = poll(fds, 2, waitMs);
    if (n <= 0) return false;
    bool got = false;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buf[4096];
      ssize_t r = read(fds[i].fd, buf, sizeof buf);
      if (r > 0) {
        sinks[i]->append(buf, static_cast<std::size_t>(r));
        got = true;
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
      }
    }
    return got;
  };
  int status = 0;
  for (;;) {
    pid_t w = waitpid(pid, &status, WNOHANG);
    if (w == pid) break;
    if (w < 0 && errno != EINTR) break;
    if (std::chrono::steady_clock::now() >= deadline) {
      result.timedOut = true;
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      break;
    }
    if (fds[0].fd < 0 && fds[1].fd < 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    else
      drain(10);
  }
  while (drain(0)) {
  }
  for (auto& fd : fds)
    if (fd.fd >= 0) close(fd.fd);
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return result;
}

bool WaitUntil(const std::function<bool()>& predicate, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!predicate()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

}  // namespace zorv::test
