#pragma once
// One line per request on stderr, for people and for tests that follow what
// the client asked for.
#include <httplib.h>

#include <string>

namespace zorv::server {

// "<remote address> <method> <target> <status>", e.g.
// "127.0.0.1 GET /getClientVersion.php?p=Zorv&g=qorn&v=1.0.0.1 200".
std::string RequestLine(const httplib::Request& request, const httplib::Response& response);

// Writes RequestLine and a line break to stderr, one whole line at a time.
void LogRequest(const httplib::Request& request, const httplib::Response& response);

}  // namespace zorv::server
