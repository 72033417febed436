#pragma once
// The server's command line.
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zorv::server {

// How a response body is framed on the wire.
enum class BodyFraming {
  Length,   // Content-Length and the whole body
  Chunked,  // chunked transfer encoding, no Content-Length
  Short,    // Content-Length of the whole body, but only its first half is sent, then the connection closes
};

struct ServerOptions {
  std::string host = "127.0.0.1";
  int port = ZORV_SERVER_DEFAULT_PORT;  // 0: any free port
  std::string offerFile;                // newer client to offer and serve; empty: none
  std::optional<std::string> versionAnswer;  // fixed version answer, instead of "0" or the offer
  int versionStatus = 200;
  int versionDelayMs = 0;
  BodyFraming versionFraming = BodyFraming::Length;
  BodyFraming downloadFraming = BodyFraming::Length;
  bool showHelp = false;
};

struct ParsedOptions {
  std::optional<ServerOptions> options;  // set when the command line is valid
  std::string error;                     // why it is not, otherwise
};

// Parses the arguments after the program name.
ParsedOptions ParseServerOptions(std::span<const std::string_view> args);

// Only loopback names may be bound: the server is a local stand-in and must
// never be reachable from the network.
bool IsLoopbackHost(std::string_view host);

std::string UsageText();

}  // namespace zorv::server
