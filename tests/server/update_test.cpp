#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "HttpFetch.h"
#include "ServerProcess.h"

namespace zorv::server::test {
namespace {

constexpr const char* kVersionRequest = "/getClientVersion.php?p=Zorv&g=qorn&v=1.0.0.1";

enum class Framing { Length, Chunked, Short };

// Checks how a body came over the wire: expected is the whole body the
// server meant to send.
void ExpectFraming(const Fetched& got, const std::string& expected, Framing framing) {
  switch (framing) {
    case Framing::Length:
      EXPECT_TRUE(got.complete);
      EXPECT_EQ(got.Header("Content-Length"), std::to_string(expected.size()));
      EXPECT_EQ(got.body, expected);
      break;
    case Framing::Chunked:
      EXPECT_TRUE(got.complete);
      EXPECT_FALSE(got.Has("Content-Length"));
      EXPECT_EQ(got.Header("Transfer-Encoding"), "chunked");
      EXPECT_EQ(got.body, expected);
      break;
    case Framing::Short:
      // The whole length is announced, half arrives, then the connection ends.
      EXPECT_FALSE(got.complete);
      EXPECT_EQ(got.Header("Content-Length"), std::to_string(expected.size()));
      EXPECT_EQ(got.body, expected.substr(0, expected.size() / 2));
      break;
  }
}

TEST(VersionEndpoint, EachModeGivesItsAnswer) {
  struct Case {
    const char* name;
    std::vector<std::string> flags;
    int status;
    std::string body;
    Framing framing;
    int minDelayMs;
  };
  const std::string address = "http://127.0.0.1:1/download/new-client.bin";
  const Case cases[] = {
      {"default", {}, 200, "0", Framing::Length, 0},
      {"fixed answer", {"--version-answer", "-1"}, 200, "-1", Framing::Length, 0},
      {"empty answer", {"--version-answer", ""}, 200, "", Framing::Length, 0},
      {"error status", {"--version-status", "404"}, 404, "0", Framing::Length, 0},
      {"server error", {"--version-status", "503", "--version-answer", address}, 503, address, Framing::Length, 0},
      {"chunked", {"--version-framing", "chunked", "--version-answer", address}, 200, address, Framing::Chunked, 0},
      {"short", {"--version-framing", "short", "--version-answer", address}, 200, address, Framing::Short, 0},
      {"slow", {"--version-delay-ms", "300"}, 200, "0", Framing::Length, 300},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ServerProcess server(c.flags);
    ASSERT_NE(server.port(), 0);
    const auto start = std::chrono::steady_clock::now();
    Fetched got = Fetch(server.port(), kVersionRequest);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(got.status, c.status);
    EXPECT_EQ(got.Header("Content-Type"), "text/plain");
    ExpectFraming(got, c.body, c.framing);
    EXPECT_GE(elapsed, std::chrono::milliseconds(c.minDelayMs));
  }
}

class OfferedClient : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("zorv-server-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
    // Every byte value, over several of the server's 64 KiB pieces, ending mid-piece.
    for (int i = 0; i < 200003; ++i) bytes_ += static_cast<char>((i * 7 + i / 256) & 0xFF);
    file_ = folder_ / "new client.bin";
    std::ofstream(file_, std::ios::binary) << bytes_;
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::filesystem::path folder_;
  std::filesystem::path file_;
  std::string bytes_;
};

TEST_F(OfferedClient, VersionAnswerNamesADownloadOfTheExactFile) {
  ServerProcess server({"--offer", file_.string()});
  ASSERT_NE(server.port(), 0);
  Fetched answer = Fetch(server.port(), kVersionRequest);
  const std::string address = "http://127.0.0.1:" + std::to_string(server.port()) + "/download/new%20client.bin";
  ASSERT_EQ(answer.body, address);

  Fetched download = FetchAddress(address);
  EXPECT_EQ(download.status, 200);
  EXPECT_EQ(download.Header("Content-Type"), "application/octet-stream");
  ExpectFraming(download, bytes_, Framing::Length);

  for (const char* other : {"/download/other.bin", "/download/..%2Fnew%20client.bin", "/download/new"})
    EXPECT_EQ(Fetch(server.port(), other).status, 404) << other;
}

TEST_F(OfferedClient, FixedAnswerWinsWhileTheFileStaysDownloadable) {
  ServerProcess server({"--offer", file_.string(), "--version-answer", "0"});
  ASSERT_NE(server.port(), 0);
  EXPECT_EQ(Fetch(server.port(), kVersionRequest).body, "0");
  EXPECT_EQ(Fetch(server.port(), "/download/new%20client.bin").body, bytes_);
}

TEST_F(OfferedClient, DownloadFramings) {
  struct Case {
    const char* flag;
    Framing framing;
  };
  for (const Case& c : {Case{"chunked", Framing::Chunked}, Case{"short", Framing::Short}}) {
    SCOPED_TRACE(c.flag);
    ServerProcess server({"--offer", file_.string(), "--download-framing", c.flag});
    ASSERT_NE(server.port(), 0);
    Fetched download = Fetch(server.port(), "/download/new%20client.bin");
    EXPECT_EQ(download.status, 200);
    ExpectFraming(download, bytes_, c.framing);
  }
}

// A resumed download names the bytes it has and the announced length, one
// past the last index; the rest of the file must come with its true length.
TEST_F(OfferedClient, RangesGiveTheRestOfTheFile) {
  ServerProcess server({"--offer", file_.string()});
  ASSERT_NE(server.port(), 0);
  const std::string size = std::to_string(bytes_.size());
  struct Case {
    std::string range;
    int status;
    std::string body;
  };
  const Case cases[] = {
      {"bytes=1000-" + size, 206, bytes_.substr(1000)},
      {"bytes=0-" + size, 206, bytes_},
      {"bytes=1000-", 206, bytes_.substr(1000)},
      {"bytes=-10", 206, bytes_.substr(bytes_.size() - 10)},
      {"bytes=" + size + "-", 416, ""},
  };
  for (const Case& c : cases) {
    Fetched got = Fetch(server.port(), "/download/new%20client.bin", {{"Range", c.range}});
    EXPECT_EQ(got.status, c.status) << c.range;
    EXPECT_TRUE(got.complete) << c.range;
    EXPECT_EQ(got.Header("Content-Length"), std::to_string(c.body.size())) << c.range;
    EXPECT_TRUE(got.body == c.body) << c.range;
  }
}

TEST_F(OfferedClient, EmptyFileIsOfferedWithLengthZero) {
  std::ofstream(folder_ / "empty.bin", std::ios::binary).flush();
  ServerProcess server({"--offer", (folder_ / "empty.bin").string()});
  ASSERT_NE(server.port(), 0);
  Fetched download = Fetch(server.port(), "/download/empty.bin");
  EXPECT_EQ(download.status, 200);
  ExpectFraming(download, "", Framing::Length);
}

}  // namespace
}  // namespace zorv::server::test
