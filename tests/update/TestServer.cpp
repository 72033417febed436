#include "update/TestServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <stdexcept>

#include "support/FileHelpers.h"

namespace zorv::test {

TestServer::TestServer() {
  server_.Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
    Handler handler;
    {
      std::lock_guard lock(mutex_);
      auto it = routes_.find(req.path);
      if (it != routes_.end()) handler = it->second;
    }
    if (handler)
      handler(req, res);
    else
      res.status = 404;
  });
  port_ = server_.bind_to_any_port("127.0.0.1");
  if (port_ <= 0) throw std::runtime_error("test server cannot bind");
  thread_ = std::thread([this] {
    server_.listen_after_bind();
    listenEnded_ = true;
  });
}

TestServer::~TestServer() {
  // stop() only reaches a running accept loop: a test that ends before the
  // listening thread got going would otherwise wait for it forever.
  while (!listenEnded_ && !server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  server_.stop();
  thread_.join();
}

std::string TestServer::Base() const { return "http://127.0.0.1:" + std::to_string(port_); }
std::wstring TestServer::WBase() const { return Widen(Base()); }

void TestServer::Route(const std::string& path, Handler handler) {
  std::lock_guard lock(mutex_);
  routes_[path] = std::move(handler);
}

void TestServer::Answer(const std::string& path, const std::string& body, int status) {
  Route(path, [body, status](const httplib::Request&, httplib::Response& res) {
    res.status = status;
    res.set_content(body, "application/octet-stream");
  });
}

void TestServer::AnswerWithoutLength(const std::string& path, const std::string& body) {
  Route(path, [body](const httplib::Request&, httplib::Response& res) {
    res.set_chunked_content_provider("application/octet-stream", [body](std::size_t, httplib::DataSink& sink) {
      sink.write(body.data(), body.size());
      sink.done();
      return true;
    });
  });
}

void TestServer::AnswerShort(const std::string& path, const std::string& body, std::size_t announced) {
  Route(path, [body, announced](const httplib::Request&, httplib::Response& res) {
    res.set_content_provider(announced, "application/octet-stream",
                             [body](std::size_t, std::size_t, httplib::DataSink& sink) {
                               sink.write(body.data(), body.size());
                               return false;  // hang up before the announced end
                             });
  });
}

void TestServer::Redirect(const std::string& path, const std::string& target) {
  Route(path, [target](const httplib::Request&, httplib::Response& res) { res.set_redirect(target); });
}

BlackHole::BlackHole() {
  listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  if (::bind(listener_, reinterpret_cast<sockaddr*>(&addr), len) != 0 || ::listen(listener_, 0) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
    throw std::runtime_error("black hole cannot listen");
  port_ = ntohs(addr.sin_port);
  // Fill the accept queue; connects beyond it get no answer to their SYN.
  for (int& filler : fillers_) {
    filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    ::connect(filler, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  }
}

BlackHole::~BlackHole() {
  for (int filler : fillers_) ::close(filler);
  ::close(listener_);
}

bool SaysTimedOut(const std::string& text) {
  std::string lower = text;
  for (char& ch : lower) ch = char(std::tolower(static_cast<unsigned char>(ch)));
  return lower.find("timeout") != std::string::npos || lower.find("timed out") != std::string::npos;
}

std::string RefusedBase() {
  int probe = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  ::bind(probe, reinterpret_cast<sockaddr*>(&addr), len);
  ::getsockname(probe, reinterpret_cast<sockaddr*>(&addr), &len);
  ::close(probe);
  return "http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port));
}

std::string BlackHole::Base() const { return "http://127.0.0.1:" + std::to_string(port_); }

}  // namespace zorv::test
