#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <vector>

#include "ChildOutput.h"
#include "GameServers.h"
#include "Html.h"
#include "HttpFetch.h"
#include "ServerProcess.h"

namespace zorv::server::test {
namespace {

constexpr const char* kLogin = "/games/fwqorn/dlq/";

class PagesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server_ = new ServerProcess({}); }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }
  void SetUp() override { ASSERT_NE(server_->port(), 0) << "the server did not start"; }

  static Fetched Get(const std::string& target) { return Fetch(server_->port(), target); }

  static ServerProcess* server_;
};

ServerProcess* PagesTest::server_ = nullptr;

std::vector<std::string> AllMatches(const std::string& text, const std::regex& pattern) {
  std::vector<std::string> found;
  for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it) found.push_back((*it)[1]);
  return found;
}

std::string FirstMatch(const std::string& text, const std::string& pattern) {
  std::smatch m;
  return std::regex_search(text, m, std::regex(pattern)) ? std::string(m[1]) : std::string();
}

// The game address the login form leads to, as the browser builds it from a
// GET form: the action, then the named fields in order.
std::string SubmitLoginForm(const std::string& loginPage, const std::string& account, const std::string& server) {
  const std::string action = FirstMatch(loginPage, R"re(<form[^>]*action="([^"]+)")re");
  return action + "?account=" + PercentEncode(account) + "&server=" + PercentEncode(server);
}

TEST_F(PagesTest, LoginPageIsAUtf8FormSizedForThePopup) {
  Fetched page = Get(kLogin);
  ASSERT_TRUE(page.complete);
  EXPECT_EQ(page.status, 200);
  EXPECT_EQ(page.Header("Content-Type"), "text/html; charset=utf-8");
  const std::string& html = page.body;
  EXPECT_NE(html.find("<meta charset=\"utf-8\">"), std::string::npos);
  EXPECT_NE(html.find("<form id=\"login\" class=\"panel\" method=\"get\""), std::string::npos);
  EXPECT_NE(html.find("name=\"account\""), std::string::npos);
  EXPECT_NE(html.find("type=\"submit\">登 录</button>"), std::string::npos);
  // The password must never end up in the game address.
  EXPECT_NE(html.find("id=\"password\" type=\"password\""), std::string::npos);
  EXPECT_EQ(FirstMatch(html, R"re((<input id="password"[^>]*>))re").find("name="), std::string::npos);
  // Every server can be chosen; the first is preselected.
  const auto values = AllMatches(html, std::regex(R"re(name="server" value="([^"]+)")re"));
  ASSERT_EQ(values.size(), GameServers().size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    EXPECT_EQ(values[i], GameServers()[i].id);
    EXPECT_NE(html.find(std::string(GameServers()[i].name)), std::string::npos);
  }
  EXPECT_NE(html.find("value=\"1\" checked>"), std::string::npos);

  Fetched style = Get(FirstMatch(html, R"re(<link rel="stylesheet" href="([^"]+)")re"));
  ASSERT_EQ(style.status, 200);
  EXPECT_NE(style.body.find("width: 690px;\n  height: 452px;\n  overflow: hidden;"), std::string::npos);
}

// The login page's own script, run by a JavaScript engine against stand-ins of
// the page's elements.
TEST_F(PagesTest, LoginScriptRefusesAnEmptyAccountAndOtherwiseLetsTheFormNavigate) {
  ASSERT_TRUE(ProgramExists("node")) << "the login script is run with node (Debian package nodejs)";
  const std::string script = Get(FirstMatch(Get(kLogin).body, R"re(<script src="([^"]+)")re")).body;
  ASSERT_FALSE(script.empty());
  struct Case {
    std::string typed;
    std::string outcome;  // as the harness reports it
  };
  const Case cases[] = {
      {"", R"({"navigates":false,"account":"","hint":"请输入账号","accountFocused":true,"hintAfterTyping":""})"},
      {" \t ",
       R"({"navigates":false,"account":" \t ","hint":"请输入账号","accountFocused":true,"hintAfterTyping":""})"},
      {"  勇士 ", R"({"navigates":true,"account":"勇士","hint":"","accountFocused":false,"hintAfterTyping":""})"},
  };
  for (const Case& c : cases) {
    auto outcome = RunWithInput({"node", ZORV_SERVER_TEST_DIR "/login_form_harness.js", c.typed}, script);
    ASSERT_TRUE(outcome) << "the harness failed for \"" << c.typed << "\"";
    EXPECT_EQ(*outcome, c.outcome);
  }
}

TEST_F(PagesTest, SubmittedLoginOpensTheGameForThatAccountAndServer) {
  const std::string login = Get(kLogin).body;
  for (const GameServer& server : GameServers()) {
    const std::string address = SubmitLoginForm(login, "勇士_01", std::string(server.id));
    EXPECT_NE(address.find("play_gamecode"), std::string::npos) << address;
    EXPECT_NE(address.find(PercentEncode("勇士_01")), std::string::npos) << address;
    Fetched game = Get(address);
    ASSERT_EQ(game.status, 200) << address;
    EXPECT_NE(game.body.find("<title>Veltan</title>"), std::string::npos);
    EXPECT_NE(game.body.find("<span id=\"account\">勇士_01</span>"), std::string::npos);
    EXPECT_NE(game.body.find("<span id=\"server\">" + std::string(server.name) + "</span>"), std::string::npos);
  }
}

TEST_F(PagesTest, AccountIsShownAsTextNeverAsMarkup) {
  const std::string account = "<img src=x onerror=\"alert(1)\">&'";
  Fetched game = Get(SubmitLoginForm(Get(kLogin).body, account, "2"));
  ASSERT_EQ(game.status, 200);
  EXPECT_NE(game.body.find("<span id=\"account\">&lt;img src=x onerror=&quot;alert(1)&quot;&gt;&amp;&#39;</span>"),
            std::string::npos);
  EXPECT_EQ(game.body.find("<img src=x"), std::string::npos);
  // The server played is remembered; the account is never put in a cookie.
  EXPECT_EQ(game.Header("Set-Cookie"), "last_server=2; Path=/; Max-Age=2592000; SameSite=Lax");
}

TEST_F(PagesTest, GameAddressWithoutAUsableLoginExplainsAndLinksBack) {
  struct Case {
    std::string query;
    std::string message;
  };
  const Case cases[] = {
      {"server=1", "缺少账号"},
      {"account=%20%20&server=1", "缺少账号"},
      {"account=" + std::string(33, 'a') + "&server=1", "账号过长"},
      {"account=abc", "服务器不存在"},
      {"account=abc&server=9", "服务器不存在"},
  };
  for (const Case& c : cases) {
    Fetched page = Get("/games/fwqorn/play_gamecode/?" + c.query);
    EXPECT_EQ(page.status, 400) << c.query;
    EXPECT_FALSE(page.Has("Set-Cookie")) << c.query;
    EXPECT_NE(page.body.find(c.message), std::string::npos) << c.query;
    EXPECT_NE(page.body.find("<a href=\"/games/fwqorn/dlq/\">"), std::string::npos) << c.query;
  }
}

// Walks the pages from the login page: every address a page uses is on this
// server and answers, and the game page has links for a click listener.
TEST_F(PagesTest, PagesAreSelfContainedAndEveryLinkAnswers) {
  const std::regex reference(R"re((?:src|href)="([^"]*)")re");
  const std::regex cssUrl(R"re(url\(([^)]*)\))re");
  std::vector<std::string> pending = {kLogin, SubmitLoginForm(Get(kLogin).body, "walker", "3")};
  std::set<std::string> seen(pending.begin(), pending.end());
  while (!pending.empty()) {
    const std::string target = pending.back();
    pending.pop_back();
    Fetched page = Get(target);
    ASSERT_EQ(page.status, 200) << target;
    std::vector<std::string> refs = AllMatches(page.body, reference);
    for (const auto& url : AllMatches(page.body, cssUrl)) refs.push_back(url);
    for (std::string ref : refs) {
      if (ref.starts_with("javascript:") || ref.starts_with("#")) continue;
      EXPECT_TRUE(ref.starts_with("/") && !ref.starts_with("//")) << target << " uses " << ref;
      ref = ref.substr(0, ref.find('#'));
      if (ref.starts_with("/") && seen.insert(ref).second) pending.push_back(ref);
    }
  }
  for (const char* expected : {"/games/fwqorn/help.html", "/games/fwqorn/news.html", "/static/game.js",
                               "/static/banner.svg"})
    EXPECT_TRUE(seen.count(expected)) << expected;

  const std::string game = Get(SubmitLoginForm(Get(kLogin).body, "walker", "3")).body;
  EXPECT_NE(game.find("<canvas id=\"game\""), std::string::npos);
  // A link around an image: the listener must find the link from the image.
  EXPECT_TRUE(std::regex_search(game, std::regex(R"re(<a href="[^"]+"[^>]*><img )re")));
}

TEST_F(PagesTest, RoutesAnswerAsIntended) {
  struct Case {
    const char* target;
    int status;
  };
  const Case cases[] = {
      {"/", 302},
      {"/games/fwqorn/dlq", 302},
      {"/static/login.css", 200},
      {"/static/game.html", 404},  // templates only filled in
      {"/static/nothing.js", 404},
      {"/static/..%2Fgame.html", 404},
      {"/download/anything.bin", 404},  // nothing offered
      {"/getClientVersion.php", 400},
      {"/getClientVersion.php?p=Zorv&g=qorn", 400},
  };
  for (const Case& c : cases) EXPECT_EQ(Get(c.target).status, c.status) << c.target;
  EXPECT_EQ(Get("/").Header("Location"), kLogin);
}

}  // namespace
}  // namespace zorv::server::test
