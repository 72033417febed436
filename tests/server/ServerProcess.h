#pragma once
// The built platform server as a child process of the test, on a free port.
#include <sys/types.h>

#include <string>
#include <vector>

namespace zorv::server::test {

class ServerProcess {
 public:
  // Starts the server with "--port 0" followed by the given arguments and
  // reads the port it prints; port() is 0 when it ended without one.
  explicit ServerProcess(const std::vector<std::string>& args);
  ~ServerProcess();
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  int port() const { return port_; }

  // Sends the signal (none when 0), waits for the end and returns the exit
  // code, or 128 + the signal that ended it.
  int Finish(int signal);

  // Everything the server wrote to stderr; complete after Finish.
  const std::string& errors() const { return errors_; }

 private:
  pid_t pid_ = -1;
  int port_ = 0;
  int outFd_ = -1;
  int errFd_ = -1;
  int exitCode_ = -1;
  std::string errors_;
};

}  // namespace zorv::server::test
