#pragma once
// Runs a child process (posix_spawn, no shell) with a chosen environment and
// waits for it with a time-out, collecting what it writes.
#include <functional>
#include <string>
#include <vector>

namespace zorv::test {

struct ChildOptions {
  // Added to (or overriding) the current environment: "NAME=value".
  std::vector<std::string> env;
  // Names removed from the child's environment.
  std::vector<std::string> unsetEnv;
  // Given to the child on its standard input, then closed.
  std::string stdinText;
  int timeoutMs = 30000;
  // Working folder of the child; empty keeps ours.
  std::string workingDir;
};

struct ChildResult {
  bool started = false;
  bool timedOut = false;     // the child was killed after the time-out
  int exitCode = -1;         // valid when it exited normally
  int signal = 0;            // the signal that ended it, if any
  std::string out;
  std::string err;
};

// argv[0] is the program path (searched in PATH when it holds no '/').
ChildResult RunChild(const std::vector<std::string>& argv, const ChildOptions& options = {});

// Waits until the given predicate holds, polling every few milliseconds; false
// after timeoutMs. For waiting on effects of detached processes.
bool WaitUntil(const std::function<bool()>& predicate, int timeoutMs = 10000);

}  // namespace zorv::test
