#include <gtest/gtest.h>

#include "UpdateRoutes.h"

namespace zorv::server {
namespace {

TEST(VersionAnswer, PicksFixedTextThenOfferThenNoUpdate) {
  struct Case {
    const char* host;
    const char* offer;
    std::optional<std::string> fixed;
    std::string answer;
  };
  const Case cases[] = {
      {"127.0.0.1", "", std::nullopt, "0"},
      {"127.0.0.1", "/tmp/build/Zedoro_Brix", std::nullopt, "http://127.0.0.1:8123/download/Zedoro_Brix"},
      {"localhost", "new.bin", std::nullopt, "http://127.0.0.1:8123/download/new.bin"},
      {"::1", "new.bin", std::nullopt, "http://[::1]:8123/download/new.bin"},
      {"127.0.0.1", "dir/新 版#1?.bin", std::nullopt,
       "http://127.0.0.1:8123/download/%E6%96%B0%20%E7%89%88%231%3F.bin"},
      {"127.0.0.1", "new.bin", "-1", "-1"},
      {"127.0.0.1", "", "", ""},
  };
  for (const Case& c : cases) {
    ServerOptions options;
    options.host = c.host;
    options.offerFile = c.offer;
    options.versionAnswer = c.fixed;
    EXPECT_EQ(VersionAnswer(options, 8123), c.answer) << c.host << " " << c.offer;
  }
}

}  // namespace
}  // namespace zorv::server
