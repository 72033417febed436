// The internet port against a local server: what a caller sees of status,
// Content-Length, redirects, body reads and failures.
#include "platform/Internet.h"

#include <gtest/gtest.h>

#include "support/FileHelpers.h"
#include "update/TestServer.h"

namespace {

using platform::HttpFile;
using platform::InternetError;
using platform::InternetSession;
using zorv::test::BlackHole;
using zorv::test::TestServer;
using zorv::test::Widen;

std::string ReadAll(HttpFile& file) {
  std::string body;
  char buffer[1024];
  while (std::size_t got = file.Read(buffer, sizeof buffer)) body.append(buffer, got);
  return body;
}

class InternetTest : public ::testing::Test {
 protected:
  InternetTest() {
    server.Answer("/hello", "hello");
    server.Answer("/missing", "gone", 404);
    server.Answer("/broken", "oops", 500);
    server.AnswerWithoutLength("/chunked", "no length here");
    server.AnswerShort("/short", "only part", 100);
    server.Redirect("/moved", "/hello");
    server.Redirect("/tofile", "file:///etc/hostname");
  }
  HttpFile Open(const std::string& path) { return session.OpenURL(server.WBase() + Widen(path)); }

  TestServer server;
  InternetSession session{L"Zedoro_Brix"};
};

TEST_F(InternetTest, ResponsesShowStatusLengthAndBody) {
  struct Case {
    std::string path;
    long status;
    std::wstring length;
    std::string body;
  };
  const Case cases[] = {
      {"/hello", 200, L"5", "hello"},
      {"/missing", 404, L"4", "gone"},
      {"/broken", 500, L"4", "oops"},
      {"/chunked", 200, L"", "no length here"},
      {"/moved", 200, L"5", "hello"},
      // Cut short of its announced length: the body just ends.
      {"/short", 200, L"100", "only part"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    HttpFile file = Open(c.path);
    EXPECT_EQ(file.QueryStatusCode(), c.status);
    EXPECT_EQ(file.QueryContentLength(), c.length);
    EXPECT_EQ(ReadAll(file), c.body);
  }
}

TEST_F(InternetTest, ReadsFillTheWholeBufferUntilTheEnd) {
  std::string big(300000, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 1024);
  server.Answer("/big", big);
  HttpFile file = Open("/big");
  std::string body;
  char buffer[1024];
  while (std::size_t got = file.Read(buffer, sizeof buffer)) {
    body.append(buffer, got);
    if (body.size() < big.size()) {
      ASSERT_EQ(got, sizeof buffer);
    }
  }
  EXPECT_EQ(body, big);
  EXPECT_EQ(file.Read(buffer, sizeof buffer), 0u);
}

TEST_F(InternetTest, OnlyHttpAddressesAreFetched) {
  for (const std::wstring& url : {std::wstring(L"file:///etc/hostname"), std::wstring(L"ftp://127.0.0.1/x"),
                                  server.WBase() + L"/tofile", std::wstring(L"not an address")}) {
    SCOPED_TRACE(zorv::test::Narrow(url));
    try {
      session.OpenURL(url);
      ADD_FAILURE() << "opened";
    } catch (const InternetError& error) {
      EXPECT_STRNE(error.what(), "");
    }
  }
}

TEST(InternetFailureTest, ConnectTimeOutIsRaisedWithTheLibrarysText) {
  BlackHole hole;
  InternetSession session(L"Zedoro_Brix");
  session.SetConnectTimeout(300);
  try {
    session.OpenURL(Widen(hole.Base() + "/x"));
    ADD_FAILURE() << "connected";
  } catch (const InternetError& error) {
    EXPECT_TRUE(zorv::test::SaysTimedOut(error.what())) << error.what();
  }
}

}  // namespace
