#include <gtest/gtest.h>

#include <csignal>
#include <string>

#include "HttpFetch.h"
#include "ServerProcess.h"

namespace zorv::server::test {
namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(ServerProcess, RefusesToListenBeyondLoopback) {
  for (const char* host : {"0.0.0.0", "::", "192.168.0.10", "example.com"}) {
    ServerProcess server({"--host", host});
    EXPECT_EQ(server.port(), 0) << host;
    EXPECT_EQ(server.Finish(0), 2) << host;
    EXPECT_TRUE(Contains(server.errors(), "only loopback addresses (127.0.0.1, ::1, localhost) are allowed"))
        << server.errors();
  }
}

TEST(ServerProcess, LocalhostListensOnTheLoopbackAddress) {
  ServerProcess server({"--host", "localhost"});
  ASSERT_NE(server.port(), 0);
  EXPECT_EQ(Fetch(server.port(), "/games/fwqorn/dlq/").status, 200);
}

TEST(ServerProcess, StopsCleanlyOnInterruptAndTerminate) {
  for (int signal : {SIGINT, SIGTERM}) {
    ServerProcess server({});
    ASSERT_NE(server.port(), 0);
    EXPECT_EQ(server.Finish(signal), 0) << signal;
    EXPECT_TRUE(Contains(server.errors(), "stopped")) << server.errors();
  }
}

TEST(ServerProcess, SignalRightAfterStartStillStopsIt) {
  ServerProcess server({});
  EXPECT_EQ(server.Finish(SIGTERM), 0);
}

TEST(ServerProcess, LogsEveryRequestAsOneLine) {
  ServerProcess server({});
  ASSERT_NE(server.port(), 0);
  Fetch(server.port(), "/getClientVersion.php?p=Zorv&g=qorn&v=1.0.0.1");
  Fetch(server.port(), "/missing?x=1");
  server.Finish(SIGTERM);
  EXPECT_TRUE(Contains(server.errors(), "\n127.0.0.1 GET /getClientVersion.php?p=Zorv&g=qorn&v=1.0.0.1 200\n"))
      << server.errors();
  EXPECT_TRUE(Contains(server.errors(), "\n127.0.0.1 GET /missing?x=1 404\n")) << server.errors();
}

TEST(ServerProcess, StartFailuresAreReportedWithAnErrorExit) {
  ServerProcess first({});
  ASSERT_NE(first.port(), 0);
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    std::string message;
  };
  const Case cases[] = {
      {{"--port", std::to_string(first.port())}, 1, "cannot listen"},
      {{"--offer", "/nonexistent/zorv-client.bin"}, 2, "is not a readable file"},
      {{"--offer", "/"}, 2, "is not a readable file"},
      {{"--port", "x"}, 2, "bad value"},
  };
  for (const Case& c : cases) {
    ServerProcess server(c.args);
    EXPECT_EQ(server.Finish(0), c.exitCode) << c.message;
    EXPECT_TRUE(Contains(server.errors(), c.message)) << server.errors();
  }
}

}  // namespace
}  // namespace zorv::server::test
