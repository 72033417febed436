#pragma once
// One GET that keeps whatever arrived, also when the body ends early.
#include <httplib.h>

#include <string>

namespace zorv::server::test {

struct Fetched {
  bool complete = false;  // the whole response arrived
  int status = 0;
  httplib::Headers headers;
  std::string body;  // the body bytes that arrived

  bool Has(const std::string& name) const { return headers.find(name) != headers.end(); }
  std::string Header(const std::string& name) const {
    auto it = headers.find(name);
    return it == headers.end() ? std::string() : it->second;
  }
};

// GET of target (path and query) from the server on 127.0.0.1:port, asking
// for the body as it is (no compression), with any further headers.
Fetched Fetch(int port, const std::string& target, const httplib::Headers& headers = {});

// GET of a whole "http://127.0.0.1:<port>/..." address.
Fetched FetchAddress(const std::string& address);

}  // namespace zorv::server::test
