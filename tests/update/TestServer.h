#pragma once
// A local HTTP server for the updater's tests: cpp-httplib on 127.0.0.1 with an
// ephemeral port, running on its own thread for the lifetime of the object.
// Each path's behaviour can be set and replaced at any time; unknown paths get 404.
#include <httplib.h>

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace zorv::test {

class TestServer {
 public:
  TestServer();
  ~TestServer();
  TestServer(const TestServer&) = delete;
  TestServer& operator=(const TestServer&) = delete;

  // "http://127.0.0.1:<port>", no trailing slash.
  std::string Base() const;
  std::wstring WBase() const;

  using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;
  void Route(const std::string& path, Handler handler);
  // GET path answers body with status.
  void Answer(const std::string& path, const std::string& body, int status = 200);
  // GET path sends body without a Content-Length header (chunked).
  void AnswerWithoutLength(const std::string& path, const std::string& body);
  // GET path announces announced bytes, sends body (shorter) and hangs up.
  void AnswerShort(const std::string& path, const std::string& body, std::size_t announced);
  // GET path redirects (302) to target.
  void Redirect(const std::string& path, const std::string& target);

 private:
  httplib::Server server_;
  std::mutex mutex_;
  std::map<std::string, Handler> routes_;
  int port_ = 0;
  std::atomic<bool> listenEnded_ = false;
  std::thread thread_;
};

// A listening socket on 127.0.0.1 whose backlog is full and that never accepts:
// a further connect never completes.
class BlackHole {
 public:
  BlackHole();
  ~BlackHole();
  std::string Base() const;

 private:
  int listener_ = -1;
  int port_ = 0;
  int fillers_[4] = {-1, -1, -1, -1};
};

// Whether a failure text is the library's word for a connect that timed out.
// It says "Timeout was reached", "Connection timed out after ..." or
// "Connection timeout after ...", depending on where the connect gave up.
bool SaysTimedOut(const std::string& text);

// "http://127.0.0.1:<port>" for a port on which nothing listens.
std::string RefusedBase();

}  // namespace zorv::test
