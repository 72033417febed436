#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "ServerOptions.h"

namespace zorv::server {
namespace {

ParsedOptions Parse(std::vector<std::string_view> args) { return ParseServerOptions(args); }

TEST(ServerOptions, DefaultsServeNoUpdateOnTheConfiguredLoopbackPort) {
  ParsedOptions parsed = Parse({});
  ASSERT_TRUE(parsed.options);
  EXPECT_EQ(parsed.options->host, "127.0.0.1");
  EXPECT_EQ(parsed.options->port, ZORV_SERVER_DEFAULT_PORT);
  EXPECT_TRUE(parsed.options->offerFile.empty());
  EXPECT_FALSE(parsed.options->versionAnswer);
  EXPECT_EQ(parsed.options->versionStatus, 200);
  EXPECT_EQ(parsed.options->versionFraming, BodyFraming::Length);
}

TEST(ServerOptions, ReadsEveryFlag) {
  ParsedOptions parsed = Parse({"--host", "::1", "--port", "0", "--offer", "new.bin", "--version-answer", "",
                                "--version-status", "404", "--version-delay-ms", "250", "--version-framing", "short",
                                "--download-framing", "chunked"});
  ASSERT_TRUE(parsed.options) << parsed.error;
  const ServerOptions& o = *parsed.options;
  EXPECT_EQ(o.host, "::1");
  EXPECT_EQ(o.port, 0);
  EXPECT_EQ(o.offerFile, "new.bin");
  EXPECT_EQ(o.versionAnswer, "");  // an empty answer is a valid answer, not "unset"
  EXPECT_EQ(o.versionStatus, 404);
  EXPECT_EQ(o.versionDelayMs, 250);
  EXPECT_EQ(o.versionFraming, BodyFraming::Short);
  EXPECT_EQ(o.downloadFraming, BodyFraming::Chunked);
}

TEST(ServerOptions, RejectsBadCommandLinesNamingTheCulprit) {
  struct Case {
    std::vector<std::string_view> args;
    std::string_view mentioned;
  };
  const Case cases[] = {
      {{"--host", "0.0.0.0"}, "only loopback"},
      {{"--host", "192.168.1.20"}, "only loopback"},
      {{"--host", "::"}, "only loopback"},
      {{"--host", "localhost.example.com"}, "only loopback"},
      {{"--port", "65536"}, "--port"},
      {{"--port", "-1"}, "--port"},
      {{"--port", "80x"}, "--port"},
      {{"--port"}, "--port needs a value"},
      {{"--version-status", "99"}, "--version-status"},
      {{"--version-status", "600"}, "--version-status"},
      {{"--version-delay-ms", "-5"}, "--version-delay-ms"},
      {{"--version-framing", "gzip"}, "--version-framing"},
      {{"--download-framing", ""}, "--download-framing"},
      {{"--offer", ""}, "--offer"},
      {{"--verbose", "1"}, "unknown argument --verbose"},
      {{"stray"}, "unknown argument stray"},
  };
  for (const Case& c : cases) {
    ParsedOptions parsed = Parse(c.args);
    EXPECT_FALSE(parsed.options) << c.args.front();
    EXPECT_NE(parsed.error.find(c.mentioned), std::string::npos) << parsed.error;
  }
}

}  // namespace
}  // namespace zorv::server
