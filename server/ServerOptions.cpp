#include "ServerOptions.h"

#include <charconv>

namespace zorv::server {
namespace {

std::optional<int> ParseInt(std::string_view text, int min, int max) {
  int value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < min || value > max) return std::nullopt;
  return value;
}

std::optional<BodyFraming> ParseFraming(std::string_view text) {
  if (text == "length") return BodyFraming::Length;
  if (text == "chunked") return BodyFraming::Chunked;
  if (text == "short") return BodyFraming::Short;
  return std::nullopt;
}

}  // namespace

bool IsLoopbackHost(std::string_view host) {
  return host == "127.0.0.1" || host == "::1" || host == "localhost";
}

ParsedOptions ParseServerOptions(std::span<const std::string_view> args) {
  ServerOptions options;
  auto fail = [](std::string error) { return ParsedOptions{std::nullopt, std::move(error)}; };
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view flag = args[i];
    if (flag == "--help" || flag == "-h") {
      options.showHelp = true;
      continue;
    }
    if (i + 1 >= args.size()) {
      if (flag.starts_with("--")) return fail(std::string(flag) + " needs a value");
      return fail("unknown argument " + std::string(flag));
    }
    std::string_view value = args[++i];
    auto badValue = [&](std::string_view expected) {
      return fail("bad value \"" + std::string(value) + "\" for " + std::string(flag) + ": expected " + std::string(expected));
    };
    if (flag == "--host") {
      if (!IsLoopbackHost(value))
        return fail("refusing to listen on \"" + std::string(value) +
                    "\": only loopback addresses (127.0.0.1, ::1, localhost) are allowed");
      options.host = value;
    } else if (flag == "--port") {
      auto port = ParseInt(value, 0, 65535);
      if (!port) return badValue("a port from 0 to 65535");
      options.port = *port;
    } else if (flag == "--offer") {
      if (value.empty()) return badValue("a file");
      options.offerFile = value;
    } else if (flag == "--version-answer") {
      options.versionAnswer = std::string(value);
    } else if (flag == "--version-status") {
      auto status = ParseInt(value, 200, 599);
      if (!status) return badValue("an HTTP status from 200 to 599");
      options.versionStatus = *status;
    } else if (flag == "--version-delay-ms") {
      auto delay = ParseInt(value, 0, 600000);
      if (!delay) return badValue("milliseconds from 0 to 600000");
      options.versionDelayMs = *delay;
    } else if (flag == "--version-framing" || flag == "--download-framing") {
      auto framing = ParseFraming(value);
      if (!framing) return badValue("length, chunked or short");
      (flag == "--version-framing" ? options.versionFraming : options.downloadFraming) = *framing;
    } else {
      return fail("unknown argument " + std::string(flag));
    }
  }
  return ParsedOptions{options, {}};
}

std::string UsageText() {
  return "usage: zorv-platform-server [options]\n"
         "  --host H                 loopback address to listen on: 127.0.0.1 (default), ::1 or localhost\n"
         "  --port N                 port (default " + std::to_string(ZORV_SERVER_DEFAULT_PORT) +
         "; 0 picks a free one); the port is printed as the first line of stdout\n"
         "  --offer FILE             offer FILE as the newer client and serve it at /download/<name>\n"
         "  --version-answer TEXT    answer TEXT to every version request\n"
         "  --version-status CODE    answer version requests with this HTTP status\n"
         "  --version-delay-ms N     wait N milliseconds before answering a version request\n"
         "  --version-framing F      version answer framing: length (default), chunked or short\n"
         "  --download-framing F     download framing: length (default), chunked or short\n";
}

}  // namespace zorv::server
