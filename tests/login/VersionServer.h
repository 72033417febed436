#pragma once
// A version server on 127.0.0.1 (ephemeral port) that answers every version
// request with "0" (no newer client) and counts the requests.
#include <httplib.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

class VersionServer {
 public:
  VersionServer() {
    server_.Get("/getClientVersion.php", [this](const httplib::Request& req, httplib::Response& res) {
      {
        std::lock_guard lock(mutex_);
        askedVersion_ = req.get_param_value("v");
      }
      ++requests_;
      res.set_content("0", "text/plain");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    // The socket listens from the bind on: requests wait for the thread.
    thread_ = std::thread([this] { server_.listen_after_bind(); });
  }
  ~VersionServer() {
    server_.stop();
    thread_.join();
  }
  VersionServer(const VersionServer&) = delete;
  VersionServer& operator=(const VersionServer&) = delete;

  // "http://127.0.0.1:<port>", no trailing slash.
  std::string Base() const { return "http://127.0.0.1:" + std::to_string(port_); }
  std::wstring WBase() const { return L"http://127.0.0.1:" + std::to_wstring(port_); }
  int Requests() const { return requests_; }
  // The "v" of the latest request.
  std::string AskedVersion() {
    std::lock_guard lock(mutex_);
    return askedVersion_;
  }

 private:
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
  std::atomic<int> requests_{0};
  std::mutex mutex_;
  std::string askedVersion_;
};
