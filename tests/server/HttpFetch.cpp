#include "HttpFetch.h"

#include <regex>

namespace zorv::server::test {

Fetched Fetch(int port, const std::string& target, const httplib::Headers& headers) {
  Fetched fetched;
  httplib::Headers sent = headers;
  sent.emplace("Accept-Encoding", "identity");
  httplib::Client client("127.0.0.1", port);
  client.set_read_timeout(5, 0);
  httplib::Result result = client.Get(
      target, sent,
      [&](const httplib::Response& response) {
        fetched.status = response.status;
        fetched.headers = response.headers;
        return true;
      },
      [&](const char* data, std::size_t length) {
        fetched.body.append(data, length);
        return true;
      });
  fetched.complete = static_cast<bool>(result);
  if (result) {
    fetched.status = result->status;
    fetched.headers = result->headers;
  }
  return fetched;
}

Fetched FetchAddress(const std::string& address) {
  static const std::regex kAddress(R"(http://127\.0\.0\.1:(\d+)(/.*))");
  std::smatch m;
  if (!std::regex_match(address, m, kAddress)) return {};
  return Fetch(std::stoi(m[1]), m[2]);
}

}  // namespace zorv::server::test
