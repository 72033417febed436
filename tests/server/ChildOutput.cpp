#include "ChildOutput.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sstream>

extern char** environ;

namespace zorv::server::test {

std::optional<std::string> RunWithInput(const std::vector<std::string>& argv, const std::string& input) {
  int in[2], out[2];
  if (pipe2(in, O_CLOEXEC) != 0) return std::nullopt;
  if (pipe2(out, O_CLOEXEC) != 0) {
    close(in[0]);
    close(in[1]);
    return std::nullopt;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  std::vector<std::string> args = argv;
  std::vector<char*> pointers;
  for (auto& a : args) pointers.push_back(a.data());
  pointers.push_back(nullptr);
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, args[0].c_str(), &actions, nullptr, pointers.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(in[0]);
  close(out[1]);
  if (rc != 0) {
    close(in[1]);
    close(out[0]);
    return std::nullopt;
  }
  signal(SIGPIPE, SIG_IGN);
  // The inputs are small scripts: they fit the pipe, so writing all first cannot block on our reading.
  std::size_t written = 0;
  while (written < input.size()) {
    ssize_t n = write(in[1], input.data() + written, input.size() - written);
    if (n <= 0 && errno != EINTR) break;
    if (n > 0) written += static_cast<std::size_t>(n);
  }
  close(in[1]);
  std::string output;
  char buffer[4096];
  for (;;) {
    ssize_t n = read(out[0], buffer, sizeof buffer);
    if (n > 0) {
      output.append(buffer, static_cast<std::size_t>(n));
    } else if (n == 0 || errno != EINTR) {
      break;
    }
  }
  close(out[0]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return output;
}

bool ProgramExists(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::istringstream folders(path ? path : "");
  for (std::string folder; std::getline(folders, folder, ':');) {
    std::error_code error;
    if (!folder.empty() && std::filesystem::exists(std::filesystem::path(folder) / name, error)) return true;
  }
  return false;
}

}  // namespace zorv::server::test
