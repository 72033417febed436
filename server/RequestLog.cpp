#include "RequestLog.h"

#include <cstdio>
#include <mutex>

namespace zorv::server {

std::string RequestLine(const httplib::Request& request, const httplib::Response& response) {
  return request.remote_addr + " " + request.method + " " + request.target + " " + std::to_string(response.status);
}

void LogRequest(const httplib::Request& request, const httplib::Response& response) {
  static std::mutex mutex;
  const std::string line = RequestLine(request, response) + "\n";
  std::lock_guard lock(mutex);
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

}  // namespace zorv::server
