#pragma once
// A version server on 127.0.0.1 (ephemeral port) that answers every version
// request with "0" (no newer client) and counts the requests.
#include <atomic>
#include <mutex>
#include <string>

#include "update/TestServer.h"

class VersionServer {
 public:
  VersionServer() {
    server_.Route("/getClientVersion.php", [this](const httplib::Request& req, httplib::Response& res) {
      {
        std::lock_guard lock(mutex_);
        askedVersion_ = req.get_param_value("v");
      }
      ++requests_;
      res.set_content("0", "text/plain");
    });
  }

  // "http://127.0.0.1:<port>", no trailing slash.
  std::string Base() const { return server_.Base(); }
  std::wstring WBase() const { return server_.WBase(); }
  int Requests() const { return requests_; }
  // The "v" of the latest request.
  std::string AskedVersion() {
    std::lock_guard lock(mutex_);
    return askedVersion_;
  }

 private:
  std::atomic<int> requests_{0};
  std::mutex mutex_;
  std::string askedVersion_;
  // Last: it is stopped first, while the handler's members still exist.
  zorv::test::TestServer server_;
};
