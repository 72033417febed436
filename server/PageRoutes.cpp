#include "PageRoutes.h"

#include <string>

#include "Assets.h"
#include "GameServers.h"
#include "Html.h"

namespace zorv::server {
namespace {

constexpr std::size_t kMaxAccountLength = 32;

std::string ServerChoices() {
  std::string html;
  bool first = true;
  for (const GameServer& server : GameServers()) {
    html += "<label class=\"server\"><input type=\"radio\" name=\"server\" value=\"" + EscapeHtml(server.id) + "\"";
    if (first) html += " checked";
    html += "><span class=\"name\">" + EscapeHtml(server.name) + "</span><span class=\"state\">" +
            EscapeHtml(server.state) + "</span></label>\n";
    first = false;
  }
  return html;
}

void SendPage(httplib::Response& response, std::string html) {
  response.set_header("Cache-Control", "no-store");
  response.set_content(std::move(html), "text/html; charset=utf-8");
}

void SendNotice(httplib::Response& response, int status, const std::string& message) {
  response.status = status;
  SendPage(response, FillTemplate(FindAsset("notice.html")->bytes, {{"MESSAGE", EscapeHtml(message)}}));
}

std::string Trim(const std::string& text) {
  const char* blanks = " \t\r\n";
  std::size_t begin = text.find_first_not_of(blanks);
  if (begin == std::string::npos) return {};
  return text.substr(begin, text.find_last_not_of(blanks) - begin + 1);
}

void ServeGame(const httplib::Request& request, httplib::Response& response) {
  const std::string account = Trim(request.get_param_value("account"));
  if (account.empty()) return SendNotice(response, 400, "缺少账号，请重新登录。");
  if (account.size() > kMaxAccountLength) return SendNotice(response, 400, "账号过长，请重新登录。");
  const GameServer* server = FindGameServer(request.get_param_value("server"));
  if (server == nullptr) return SendNotice(response, 400, "所选服务器不存在，请重新登录。");
  // The platform remembers the last server played for 30 days, as a real one
  // would; it gives the client's persistent cookie store something to keep.
  response.set_header("Set-Cookie", "last_server=" + std::string(server->id) + "; Path=/; Max-Age=2592000; SameSite=Lax");
  SendPage(response, FillTemplate(FindAsset("game.html")->bytes,
                                  {{"ACCOUNT", EscapeHtml(account)}, {"SERVER", EscapeHtml(server->name)}}));
}

void ServeStatic(const httplib::Request& request, httplib::Response& response) {
  const std::string name = request.matches[1];
  const Asset* asset = FindAsset(name);
  // Templates are only served filled in, through their own routes.
  if (asset == nullptr || name.ends_with(".html")) {
    response.status = 404;
    response.set_content("not found\n", "text/plain");
    return;
  }
  response.set_content(std::string(asset->bytes), std::string(ContentTypeOf(name)));
}

}  // namespace

void AddPageRoutes(httplib::Server& server) {
  server.Get("/", [](const httplib::Request&, httplib::Response& response) { response.set_redirect(kLoginPath); });
  server.Get("/games/fwqorn/dlq", [](const httplib::Request&, httplib::Response& response) {
    response.set_redirect(kLoginPath);
  });
  server.Get(kLoginPath, [](const httplib::Request&, httplib::Response& response) {
    SendPage(response, FillTemplate(FindAsset("login.html")->bytes,
                                    {{"SERVER_CHOICES", ServerChoices()}, {"GAME_PATH", kGamePath}}));
  });
  server.Get(kGamePath, ServeGame);
  for (const char* page : {"help.html", "news.html"}) {
    server.Get(std::string("/games/fwqorn/") + page, [page](const httplib::Request&, httplib::Response& response) {
      SendPage(response, std::string(FindAsset(page)->bytes));
    });
  }
  server.Get(R"(/static/([A-Za-z0-9_.-]+))", ServeStatic);
}

}  // namespace zorv::server
