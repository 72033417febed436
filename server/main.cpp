// zorv-platform-server: the local stand-in for the platform's login page, game
// page and version server. Listens on loopback only.
#include <httplib.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <thread>
#include <vector>

#include "PageRoutes.h"
#include "RequestLog.h"
#include "ServerOptions.h"
#include "UpdateRoutes.h"

namespace {

constexpr const char* kProgram = "zorv-platform-server";

// Binds the listening socket; returns the port, or -1 when it cannot be bound.
int Bind(httplib::Server& server, const zorv::server::ServerOptions& options) {
  // "localhost" may resolve to ::1 alone; the client's addresses use 127.0.0.1.
  const std::string host = options.host == "localhost" ? "127.0.0.1" : options.host;
  if (options.port == 0) return server.bind_to_any_port(host);
  return server.bind_to_port(host, options.port) ? options.port : -1;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace zorv::server;
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  const ParsedOptions parsed = ParseServerOptions(args);
  if (!parsed.options) {
    std::fprintf(stderr, "%s: %s\n%s", kProgram, parsed.error.c_str(), UsageText().c_str());
    return 2;
  }
  const ServerOptions& options = *parsed.options;
  if (options.showHelp) {
    std::fputs(UsageText().c_str(), stdout);
    return 0;
  }
  std::error_code error;
  if (!options.offerFile.empty() && !std::filesystem::is_regular_file(options.offerFile, error)) {
    std::fprintf(stderr, "%s: the offered file \"%s\" is not a readable file\n", kProgram, options.offerFile.c_str());
    return 2;
  }

  // SIGINT and SIGTERM are taken by one watcher thread (blocked everywhere
  // else), which stops the server from outside any signal handler.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  httplib::Server server;
  // The library's default shares the port (SO_REUSEPORT) with any other
  // listener, so a second server would silently take half of the requests;
  // only a port in TIME_WAIT may be reused.
  server.set_socket_options([](int socket) {
    int yes = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  });
  const int port = Bind(server, options);
  if (port < 0) {
    std::fprintf(stderr, "%s: cannot listen on %s port %d (in use?)\n", kProgram, options.host.c_str(), options.port);
    return 1;
  }
  AddPageRoutes(server);
  AddUpdateRoutes(server, options, port);
  server.set_logger(LogRequest);

  std::printf("%d\n", port);
  std::fflush(stdout);
  std::fprintf(stderr, "%s: listening on %s port %d, login page at %s\n", kProgram, options.host.c_str(), port,
               kLoginPath);

  std::atomic<bool> listenEnded = false;
  std::atomic<bool> signalled = false;
  std::thread watcher([&] {
    int signalNumber = 0;
    sigwait(&stopSignals, &signalNumber);
    signalled = true;
    if (listenEnded) return;
    // A signal right after start may come before the accept loop runs; stop()
    // only reaches a running loop.
    while (!listenEnded && !server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    server.stop();
  });
  server.listen_after_bind();
  listenEnded = true;
  const bool stoppedBySignal = signalled;
  if (!stoppedBySignal) pthread_kill(watcher.native_handle(), SIGTERM);
  watcher.join();
  if (!stoppedBySignal) {
    std::fprintf(stderr, "%s: the server stopped unexpectedly\n", kProgram);
    return 1;
  }
  std::fprintf(stderr, "%s: stopped\n", kProgram);
  return 0;
}
