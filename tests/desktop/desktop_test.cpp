// End to end on a real X server: the desktop backend's windows, browser,
// hotkeys and docking, driven through a probe program and looked at from
// outside (window geometry and parents, screen pixels). Screenshots are kept
// under the build tree in desktop-artifacts/.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>

#include "DesktopSession.h"
#include "support/ChildProcess.h"
#include "support/Sandbox.h"

namespace zorv::test {
namespace {

class DesktopTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    sandbox_ = new Sandbox();
    x_ = new XServer();
  }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
    delete x_;
    x_ = nullptr;
    delete sandbox_;
    sandbox_ = nullptr;
  }
  void SetUp() override {
    if (!x_->IsRunning()) GTEST_SKIP() << "Xvfb is not available";
  }

  std::vector<std::string> Env() const {
    std::vector<std::string> env = sandbox_->Environment();
    env.push_back("DISPLAY=" + x_->Name());
    return env;
  }
  std::unique_ptr<Program> Probe(const std::vector<std::string>& args) {
    std::vector<std::string> argv{ZORV_DESKTOP_PROBE};
    argv.insert(argv.end(), args.begin(), args.end());
    return std::make_unique<Program>(argv, Env());
  }
  // The local platform server's base address; empty when it is not built.
  static std::string ServerBase() {
    if (!server_) {
      std::string binary = std::string(ZORV_BINARY_DIR) + "/server/zorv-platform-server";
      if (!std::filesystem::exists(binary)) return {};
      server_ = new Program({binary, "--port", "0"}, {});
      port_ = server_->WaitFor("", 10000);
    }
    return port_.empty() ? std::string() : "http://127.0.0.1:" + port_;
  }
  static std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
  }
  // How many pixels of a 4-pixel grid over rect differ from colour.
  int Painted(const ui::Rect& rect, ui::Rgba colour) { return Painted(x_->Grab(rect), colour); }
  static int Painted(const ui::Surface& shown, ui::Rgba colour) {
    int count = 0;
    for (int y = 0; y < shown.Height(); y += 4)
      for (int x = 0; x < shown.Width(); x += 4)
        if (shown.GetPixel(x, y) != colour) ++count;
    return count;
  }
  void Key(const std::string& keys) { ASSERT_EQ(RunTool({"xdotool", "key", keys}, Env()), 0); }

  static Sandbox* sandbox_;
  static XServer* x_;
  static Program* server_;
  static std::string port_;
};

Sandbox* DesktopTest::sandbox_ = nullptr;
XServer* DesktopTest::x_ = nullptr;
Program* DesktopTest::server_ = nullptr;
std::string DesktopTest::port_;

constexpr ui::Rgba kWhite{255, 255, 255, 255};

TEST_F(DesktopTest, WindowsShowTheirPixelsAtTheirPlacesAndFollowTheShowState) {
  auto probe = Probe({"windows"});
  std::string ready = probe->WaitFor("ready");
  ASSERT_FALSE(ready.empty()) << probe->Transcript();
  auto w = Words(ready);
  ui::HWND main = std::stoull(w[1]), picture = std::stoull(w[2]), keyed = std::stoull(w[3]);
  // A tray icon works without a notification area to show it.
  EXPECT_EQ(w[4], "tray=1");

  auto g = x_->Query(main);
  EXPECT_TRUE(g.viewable);
  EXPECT_EQ(g.screenRect, ui::Rect::FromXYWH(100, 80, 400, 300));
  ASSERT_TRUE(probe->WaitFor("state", 100).empty());
  x_->KeepScreenshot("windows");
  struct Spot {
    int x, y;
    ui::Rgba colour;
    const char* what;
  };
  const Spot spots[] = {
      {110, 90, {200, 0, 0, 255}, "the window's own background"},
      {160, 130, {0, 0, 220, 255}, "its child, composed over it"},
      {620, 130, {0, 160, 0, 255}, "the opaque half of the per-pixel-alpha picture"},
      {750, 130, kWhite, "the transparent half: the desktop shows through"},
      {950, 100, kWhite, "the colour-keyed half of the popup"},
  };
  for (const Spot& s : spots) EXPECT_EQ(x_->Grab(ui::Rect::FromXYWH(s.x, s.y, 1, 1)).GetPixel(0, 0), s.colour) << s.what;
  // The popup's other half: its alpha of 250 needs a compositor, which a
  // plain X server has not, so it shows opaque.
  EXPECT_EQ(x_->Grab(ui::Rect::FromXYWH(950, 160, 1, 1)).GetPixel(0, 0), (ui::Rgba{128, 128, 128, 255}));
  EXPECT_EQ(x_->Query(picture).screenRect, ui::Rect::FromXYWH(600, 80, 200, 100));
  EXPECT_EQ(x_->Query(keyed).screenRect, ui::Rect::FromXYWH(900, 80, 200, 100));

  // Without a window manager the work area is the whole screen, so a
  // maximised window covers it (the framework calls that fullscreen); nothing
  // shows a minimised window, so it is hidden. The toolkit applies sizes on
  // its next frame: the test waits for the X server to show them.
  struct Step {
    const char* command;
    const char* state;
    bool viewable;
    ui::Rect rect;
  };
  const Step steps[] = {
      {"max", "state 3 0 0 1920 1080", true, {0, 0, 1920, 1080}},
      {"min", "state 2 0 0 1920 1080", false, {0, 0, 1920, 1080}},
      {"restore", "state 3 0 0 1920 1080", true, {0, 0, 1920, 1080}},
      {"restore", "state 0 100 80 400 300", true, ui::Rect::FromXYWH(100, 80, 400, 300)},
  };
  for (const Step& s : steps) {
    probe->Send(s.command);
    EXPECT_EQ(probe->WaitFor("state"), s.state) << s.command;
    XServer::Geometry now;
    EXPECT_TRUE(WaitUntil([&] {
      now = x_->Query(main);
      return now.viewable == s.viewable && (!s.viewable || now.screenRect == s.rect);
    })) << s.command << ": viewable " << now.viewable << " at " << now.screenRect.left << "," << now.screenRect.top
        << " " << now.screenRect.Width() << "x" << now.screenRect.Height();
  }

  // A popup menu opens at its point; the item chosen is the answer.
  probe->Send("menu");
  EXPECT_TRUE(WaitUntil([&] {
    for (const auto& w : x_->ShownChildren(x_->Root()))
      if (w.screenRect.TopLeft() == ui::Point{300, 300}) return true;
    return false;
  })) << "no menu at (300, 300)" << [&] {
    std::string all;
    for (const auto& w : x_->ShownChildren(x_->Root()))
      all += " " + std::to_string(w.screenRect.left) + "," + std::to_string(w.screenRect.top) + " " +
             std::to_string(w.screenRect.Width()) + "x" + std::to_string(w.screenRect.Height());
    return all;
  }();
  x_->KeepScreenshot("menu");
  // The keyboard: a click right after the menu opened would count as the
  // release of the press that opened it, which a menu ignores.
  EXPECT_EQ(RunTool({"xdotool", "key", "Down", "Return"}, Env()), 0);
  EXPECT_EQ(probe->WaitFor("menu"), "menu 32775");
  probe->Send("quit");
  EXPECT_EQ(probe->Wait(), 0) << probe->Transcript();
}

TEST_F(DesktopTest, PageLoadsAndACancelledNavigationStaysCancelled) {
  std::string base = ServerBase();
  if (base.empty()) GTEST_SKIP() << "the platform server is not built";
  std::string login = base + "/games/fwqorn/dlq/", help = base + "/games/fwqorn/help.html";
  auto probe = Probe({"browser", login, help});
  ASSERT_FALSE(probe->WaitFor("document-complete 1 " + login, 60000).empty()) << probe->Transcript();
  ASSERT_FALSE(probe->WaitFor("ready").empty()) << probe->Transcript();
  // The page shows below the 61-pixel strip (the engine paints a moment
  // after the load finished); the strip keeps the host's colour.
  EXPECT_TRUE(WaitUntil([&] { return Painted(ui::Rect::FromXYWH(0, 61, 690, 452), {30, 30, 30, 255}) > 1000; }));
  EXPECT_EQ(Painted(ui::Rect::FromXYWH(0, 0, 690, 61), {30, 30, 30, 255}), 0);
  x_->KeepScreenshot("login-page");

  // Typing into the page's focused account field and Enter submits the form:
  // the page goes to the game address, which the host cancels.
  ASSERT_EQ(RunTool({"xdotool", "type", "alice"}, Env()), 0);
  Key("Return");
  std::string cancelled = probe->WaitFor("cancelled");
  EXPECT_NE(cancelled.find("play_gamecode/?account=alice"), std::string::npos) << probe->Transcript();
  ASSERT_FALSE(probe->WaitFor("document-complete 1 " + help).empty()) << probe->Transcript();
  for (const std::string& line : probe->Lines()) {
    bool loaded = line.rfind("navigated", 0) == 0 || line.rfind("document-complete", 0) == 0;
    EXPECT_FALSE(loaded && line.find("play_gamecode") != std::string::npos) << line;
  }
  probe->Send("quit");
  EXPECT_EQ(probe->Wait(), 0) << probe->Transcript();
}

// What the cache cleaner does, from a worker thread: list the URL cache and
// delete every entry but cookies. The engine keeps its cache in the Internet
// cache folder the cleaner empties, and its cookies in the data folder.
TEST_F(DesktopTest, TheUrlCacheIsClearedButForCookiesAndTheFoldersAreOurs) {
  std::string base = ServerBase();
  if (base.empty()) GTEST_SKIP() << "the platform server is not built";
  auto probe = Probe({"data", base + "/games/fwqorn/play_gamecode/?account=alice&server=1"});
  std::string before = probe->WaitFor("before", 60000);
  ASSERT_FALSE(before.empty()) << probe->Transcript();
  EXPECT_NE(before, "before 0") << "the loaded page left nothing in the cache";
  // Every entry left is a cookie entry.
  std::string after = probe->WaitFor("after");
  auto count = [&](const std::string& what) {
    int n = 0;
    for (size_t at = after.find(what); at != std::string::npos; at = after.find(what, at + 1)) ++n;
    return n;
  };
  EXPECT_FALSE(after.empty()) << probe->Transcript();
  EXPECT_EQ(count("["), count(" cookie]")) << after;
  EXPECT_EQ(probe->WaitFor("folder"), "folder " + sandbox_->CacheHome() + "/Zorv/browser");
  EXPECT_EQ(probe->Wait(), 0) << probe->Transcript();
  EXPECT_TRUE(std::filesystem::exists(sandbox_->CacheHome() + "/Zorv/browser/WebKitCache"));
  EXPECT_TRUE(std::filesystem::exists(sandbox_->DataHome() + "/Zorv/browser/cookies.sqlite"));
}

TEST_F(DesktopTest, GlobalHotkeysReachTheirWindowAndACombinationHasOneHolder) {
  auto probe = Probe({"hotkeys"});
  ASSERT_EQ(probe->WaitFor("registered"), "registered 1 1 0") << probe->Transcript();
  Key("F10");
  EXPECT_EQ(probe->WaitFor("hotkey"), "hotkey 1");
  Key("ctrl+alt+k");
  EXPECT_EQ(probe->WaitFor("hotkey"), "hotkey 2");
  probe->Send("quit");
  EXPECT_EQ(probe->Wait(), 0) << probe->Transcript();
}

TEST_F(DesktopTest, AWindowOfOneProcessDocksIntoAnotherAndFollowsItsMessages) {
  std::string base = ServerBase();
  if (base.empty()) GTEST_SKIP() << "the platform server is not built";
  auto frame = Probe({"frame"});
  std::string frameLine = frame->WaitFor("frame");
  ASSERT_FALSE(frameLine.empty()) << frame->Transcript();
  std::string frameId = Words(frameLine)[1];
  std::string game = base + "/games/fwqorn/play_gamecode/?account=alice&server=1";
  auto docked = Probe({"dock", frameId, game});
  std::string attached = docked->WaitFor("attached");
  ASSERT_FALSE(attached.empty()) << docked->Transcript();
  std::string dockId = Words(attached)[1];
  EXPECT_EQ(attached, "attached " + dockId + " 0");
  EXPECT_EQ(frame->WaitFor("attach"), "attach " + dockId);

  // The frame's sent re-layout reaches the docked window and comes back answered.
  EXPECT_EQ(frame->WaitFor("relayout-full"), "relayout-full 7") << docked->Transcript();
  auto g = x_->Query(std::stoull(dockId));
  EXPECT_EQ(g.parent, std::stoull(frameId));
  EXPECT_TRUE(g.viewable);
  EXPECT_EQ(g.screenRect, ui::Rect::FromXYWH(200, 150, 800, 600));
  frame->Send("strip");
  EXPECT_EQ(frame->WaitFor("relayout-strip"), "relayout-strip 7");
  EXPECT_EQ(x_->Query(std::stoull(dockId)).screenRect, ui::Rect::FromXYWH(200, 180, 800, 570));

  ASSERT_FALSE(docked->WaitFor("document-complete 1", 60000).empty()) << docked->Transcript();
  // The page renders inside the frame, below its strip.
  EXPECT_TRUE(WaitUntil([&] { return Painted(ui::Rect::FromXYWH(200, 180, 800, 570), {0, 90, 90, 255}) > 1000; }));
  x_->KeepScreenshot("docked");
  EXPECT_EQ(x_->Grab(ui::Rect::FromXYWH(210, 160, 1, 1)).GetPixel(0, 0), (ui::Rgba{90, 0, 90, 255}))
      << "the frame's own strip stays visible above the docked page";

  frame->Send("close");
  EXPECT_EQ(frame->WaitFor("closed"), "closed 0");
  EXPECT_FALSE(docked->WaitFor("close").empty());
  EXPECT_EQ(docked->Wait(), 0) << docked->Transcript();
  frame->Send("quit");
  EXPECT_EQ(frame->Wait(), 0) << frame->Transcript();
}

TEST_F(DesktopTest, ADockedWindowNoticesItsFrameVanishing) {
  auto frame = Probe({"frame"});
  std::string frameLine = frame->WaitFor("frame");
  ASSERT_FALSE(frameLine.empty()) << frame->Transcript();
  auto docked = Probe({"dock", Words(frameLine)[1], "about:blank"});
  ASSERT_FALSE(docked->WaitFor("attached").empty()) << docked->Transcript();
  frame->Kill();
  EXPECT_FALSE(docked->WaitFor("frame-gone").empty()) << docked->Transcript();
  EXPECT_EQ(docked->Wait(), 0) << docked->Transcript();
}

// The client itself. Its login address is fixed at build time, so the
// platform server runs on that port.
class ClientTest : public DesktopTest {
 protected:
  void SetUp() override {
    DesktopTest::SetUp();
    if (IsSkipped()) return;
    std::string server = std::string(ZORV_BINARY_DIR) + "/server/zorv-platform-server";
    if (!std::filesystem::exists(client_) || !std::filesystem::exists(server)) GTEST_SKIP() << "client or server not built";
    platform_ = std::make_unique<Program>(std::vector<std::string>{server, "--port", std::to_string(ZORV_SERVER_PORT)},
                                          std::vector<std::string>{});
    if (platform_->WaitFor("", 10000) != std::to_string(ZORV_SERVER_PORT))
      GTEST_SKIP() << "port " << ZORV_SERVER_PORT << " is taken";
  }

  // Starts the client, waits for the login page and logs in as alice; the
  // main window's X window, or 0.
  ui::HWND StartAndLogIn(std::unique_ptr<Program>& player) {
    player = std::make_unique<Program>(std::vector<std::string>{client_}, Env());
    std::vector<XServer::Shown> shown;
    if (!WaitUntil([&] {
          shown = x_->FindShown(kTitle);
          return shown.size() == 1 && shown[0].screenRect.Width() == 1174;
        }, 30000)) {
      ADD_FAILURE() << "the login window never showed";
      return 0;
    }
    // The login form's page sits in the popup over the login picture; its
    // golden login button shows once the page has loaded.
    ui::Point popup{shown[0].screenRect.left + 365, shown[0].screenRect.top + 73};
    auto golden = [&](int x, int y) {
      ui::Rgba p = x_->Grab(ui::Rect::FromXYWH(popup.x + x, popup.y + y, 1, 1)).GetPixel(0, 0);
      return p.r > 150 && p.g > 100 && p.b < 120;
    };
    if (!WaitUntil([&] { return golden(505, 402); }, 30000)) {
      ADD_FAILURE() << "the login page never showed";
      return 0;
    }
    x_->KeepScreenshot("client-login");
    Click(popup.x + 528, popup.y + 156);
    EXPECT_EQ(RunTool({"xdotool", "type", "alice"}, Env()), 0);
    Key("Return");
    // Without a window manager the main window covers the whole screen.
    if (!WaitUntil([&] {
          shown = x_->FindShown(kTitle);
          return shown.size() == 1 && shown[0].screenRect == ui::Rect{0, 0, 1920, 1080};
        }, 30000)) {
      ADD_FAILURE() << "the main window never showed";
      return 0;
    }
    return shown[0].id;
  }
  void Click(int x, int y) {
    EXPECT_EQ(RunTool({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "click", "1"}, Env()), 0);
  }
  // A web view shows white before the engine has drawn anything and black
  // while its compositor is still composing the first frames (for a second
  // or more on a software renderer, even after a first frame has flashed
  // by). A picture that is neither has been painted by the page.
  static bool PagePainted(const ui::Surface& shown) {
    const int grid = ((shown.Width() + 3) / 4) * ((shown.Height() + 3) / 4);
    return Painted(shown, {0, 0, 0, 255}) > grid * 3 / 4 && Painted(shown, kWhite) > grid * 3 / 4;
  }
  // Grabs rect until the page has painted it and it has stayed the same for
  // half a second: that picture, or nothing after 30 seconds.
  std::optional<ui::Surface> Settled(const ui::Rect& rect) {
    ui::Surface last = x_->Grab(rect);
    auto since = std::chrono::steady_clock::now();
    bool settled = WaitUntil([&] {
      ui::Surface now = x_->Grab(rect);
      if (!PagePainted(now) || Differing(now, last) != 0) {
        last = std::move(now);
        since = std::chrono::steady_clock::now();
        return false;
      }
      return std::chrono::steady_clock::now() - since >= std::chrono::milliseconds(500);
    }, 30000);
    if (!settled) return std::nullopt;
    return last;
  }
  // The game page has shown below the strip: its dark bar is painted there.
  bool GameShown() { return Settled(ui::Rect::FromXYWH(0, 30, 1920, 30)).has_value(); }
  static int Differing(const ui::Surface& a, const ui::Surface& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return -1;
    int count = 0;
    for (int y = 0; y < a.Height(); ++y)
      for (int x = 0; x < a.Width(); ++x)
        if (a.GetPixel(x, y) != b.GetPixel(x, y)) ++count;
    return count;
  }

  // Waits for a question box (253 x 106, none other than `previous`) and
  // clicks its confirm or its cancel button; the box, or 0.
  ui::HWND Answer(bool confirm, ui::HWND previous = 0) {
    XServer::Shown box;
    if (!WaitUntil([&] {
          for (const auto& w : x_->ShownChildren(x_->Root()))
            if (w.id != previous && w.screenRect.Width() == 253 && w.screenRect.Height() == 106) box = w;
          return box.id != 0;
        })) {
      ADD_FAILURE() << "no question box showed";
      return 0;
    }
    Click(box.screenRect.left + (confirm ? 86 : 178), box.screenRect.top + 78);
    return box.id;
  }
  // Copies of the client running on our X server.
  int ClientsRunning() {
    std::string exe = std::filesystem::canonical(client_), display = "DISPLAY=" + x_->Name();
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
      std::error_code error;
      if (std::filesystem::read_symlink(entry.path() / "exe", error) != exe) continue;
      std::ifstream variables(entry.path() / "environ", std::ios::binary);
      for (std::string variable; std::getline(variables, variable, '\0');)
        if (variable == display) ++count;
    }
    return count;
  }
  // The value of a cookie in the client's persistent store; "" when it has none.
  std::string StoredCookie(const std::string& name) {
    std::string path = sandbox_->DataHome() + "/Zorv/browser/cookies.sqlite", value;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
      sqlite3_stmt* query = nullptr;
      if (sqlite3_prepare_v2(db, "SELECT value FROM moz_cookies WHERE name = ?", -1, &query, nullptr) == SQLITE_OK) {
        sqlite3_bind_text(query, 1, name.c_str(), -1, SQLITE_TRANSIENT);
        if (sqlite3_step(query) == SQLITE_ROW) value = reinterpret_cast<const char*>(sqlite3_column_text(query, 0));
      }
      sqlite3_finalize(query);
    }
    sqlite3_close(db);
    return value;
  }
  static int FilesUnder(const std::string& folder) {
    int count = 0;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
         it != std::filesystem::recursive_directory_iterator(); it.increment(error))
      if (it->is_regular_file()) ++count;
    return count;
  }

  static constexpr const char* kTitle = "Veltan\u767b\u5f55\u5668";  // string 107
  std::string client_ = ZORV_CLIENT_EXE;
  std::unique_ptr<Program> platform_;
};

TEST_F(ClientTest, ThePlayerLogsInOnTheLoginScreenAndPlaysInTheMainWindow) {
  std::unique_ptr<Program> player;
  ASSERT_NE(StartAndLogIn(player), 0u);
  EXPECT_TRUE(GameShown()) << "the game page never showed";
  x_->KeepScreenshot("client-game");
  // The boss key hides the main window and brings it back.
  Key("F10");
  EXPECT_TRUE(WaitUntil([&] { return x_->FindShown(kTitle).empty(); })) << "the boss key did not hide the window";
  Key("F10");
  EXPECT_TRUE(WaitUntil([&] { return x_->FindShown(kTitle).size() == 1; })) << "the boss key did not show it again";
}

// The login picture is the caption: a drag on it moves the login window
// (the desktop moves it) and the form popup follows.
TEST_F(ClientTest, TheLoginScreenIsDraggedByItsPictureAndItsPopupFollows) {
  Program player({client_}, Env());
  std::vector<XServer::Shown> shown;
  ASSERT_TRUE(WaitUntil([&] {
    shown = x_->FindShown(kTitle);
    return shown.size() == 1 && shown[0].screenRect.Width() == 1174;
  }, 30000)) << "the login window never showed";
  ui::Rect before = shown[0].screenRect;
  // A spot of the picture beside the popup (the mountains on the left).
  int x = before.left + 80, y = before.top + 400;
  EXPECT_EQ(RunTool({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "mousedown", "1", "mousemove",
                     std::to_string(x + 40), std::to_string(y + 20), "mousemove", std::to_string(x + 100),
                     std::to_string(y + 50), "mouseup", "1"},
                    Env()),
            0);
  ui::Rect after = before.Offset(100, 50);
  EXPECT_TRUE(WaitUntil([&] {
    shown = x_->FindShown(kTitle);
    return shown.size() == 1 && shown[0].screenRect == after;
  })) << "the login window did not move with the drag";
  // The popup (untitled) sits at the same place of the picture.
  ui::Rect popup = ui::Rect::FromXYWH(after.left + 365, after.top + 73, 690, 513);
  EXPECT_TRUE(WaitUntil([&] {
    for (const auto& w : x_->FindShown(""))
      if (w.screenRect == popup) return true;
    return false;
  })) << "the popup did not follow";
}

// A second copy started with the main window's handle docks its game page
// below the main window's title strip, follows it into fullscreen, and ends
// when the main window's process is gone.
TEST_F(ClientTest, AnEmbeddedCopyDocksIntoTheMainWindowAndEndsWithIt) {
  std::unique_ptr<Program> player;
  ui::HWND main = StartAndLogIn(player);
  ASSERT_NE(main, 0u);
  std::string game = "http://127.0.0.1:" + std::to_string(ZORV_SERVER_PORT) +
                     "/games/fwqorn/play_gamecode/?account=bob&server=2";
  Program embedded({client_, "-frameWnd=" + std::to_string(main) + " -gameurl=" + game}, Env());
  auto dockedAt = [&](const ui::Rect& rect) {
    return WaitUntil([&] {
      for (const auto& child : x_->ShownChildren(main))
        if (child.screenRect == rect) return true;
      return false;
    }, 20000);
  };
  EXPECT_TRUE(dockedAt({0, 30, 1920, 1080})) << "the embedded window did not dock below the strip";
  x_->KeepScreenshot("client-docked");
  // The main window's fullscreen button; the docked page follows.
  Click(1758, 14);
  EXPECT_TRUE(dockedAt({0, 0, 1920, 1080})) << "the embedded window did not follow into fullscreen";
  player->Kill();
  EXPECT_EQ(embedded.Wait(10000), 0) << "the embedded copy did not end with its frame";
}

// F11 (the fullscreen hotkey, while the main window is in front) hides the
// strip and its buttons and gives the page the whole screen; F11 again
// brings back the strip with the page below it.
TEST_F(ClientTest, F11TogglesFullscreenAndBackToMaximisedBelowTheStrip) {
  std::unique_ptr<Program> player;
  ui::HWND main = StartAndLogIn(player);
  ASSERT_NE(main, 0u);
  ASSERT_TRUE(GameShown()) << "the game page never showed";
  const ui::Rect strip{0, 0, 1920, 30}, below = strip.Offset(0, 30);
  std::optional<ui::Surface> stripShown = Settled(strip), pageTop = Settled(below);
  ASSERT_TRUE(stripShown && pageTop) << "the strip or the page below it never settled";
  ASSERT_GT(Differing(*stripShown, *pageTop), 1920 * 30 / 2) << "the strip looks like the page";
  x_->KeepScreenshot("client-maximised");

  Key("F11");
  int differing = 0;
  EXPECT_TRUE(WaitUntil([&] { return (differing = Differing(x_->Grab(strip), *pageTop)) == 0; }, 30000))
      << "the page's top did not take the strip's place: " << differing << " pixels differ";
  x_->KeepScreenshot("client-fullscreen");
  EXPECT_EQ(x_->Query(main).screenRect, (ui::Rect{0, 0, 1920, 1080}));

  Key("F11");
  int stripDiffering = 0;
  EXPECT_TRUE(WaitUntil([&] {
    stripDiffering = Differing(x_->Grab(strip), *stripShown);
    differing = Differing(x_->Grab(below), *pageTop);
    return stripDiffering == 0 && differing == 0;
  }, 30000)) << "the strip and the page below it did not come back: " << stripDiffering << " and " << differing
             << " pixels differ";
  EXPECT_EQ(x_->Query(main).screenRect, (ui::Rect{0, 0, 1920, 1080}));
}

// The close button asks twice: exit, then choose a new server. OK and Cancel
// end the program without a new copy. The login cookie is kept on disk
// through that end, a new start, and a cache clearing, which empties the
// cache folder under the overlay.
TEST_F(ClientTest, CloseWithoutRelaunchThenCookiesOutliveRestartAndCacheClearing) {
  std::unique_ptr<Program> player;
  ASSERT_NE(StartAndLogIn(player), 0u);
  ASSERT_TRUE(GameShown()) << "the game page never showed";
  ASSERT_EQ(ClientsRunning(), 1);
  Click(1906, 16);  // the close button
  ui::HWND exitQuestion = Answer(true);
  ASSERT_NE(exitQuestion, 0u);
  ASSERT_NE(Answer(false, exitQuestion), 0u);
  EXPECT_EQ(player->Wait(), 0) << player->Transcript();
  // A new copy would have been started before this one ended.
  EXPECT_EQ(ClientsRunning(), 0) << "the client started a new copy";
  EXPECT_EQ(StoredCookie("last_server"), "1");

  ui::HWND main = StartAndLogIn(player);
  ASSERT_NE(main, 0u);
  ASSERT_TRUE(GameShown()) << "the game page never showed";
  EXPECT_EQ(StoredCookie("last_server"), "1") << "the second start lost the cookie";
  const std::string cache = sandbox_->CacheHome() + "/Zorv/browser";
  // The engine writes its disk cache a little behind the page: wait until the
  // folder has stopped changing, or a late entry would land after the clearing.
  int seen = FilesUnder(cache);
  auto lastChange = std::chrono::steady_clock::now();
  ASSERT_TRUE(WaitUntil([&] {
    const int now = FilesUnder(cache);
    if (now != seen) {
      seen = now;
      lastChange = std::chrono::steady_clock::now();
    }
    return now > 0 && std::chrono::steady_clock::now() - lastChange > std::chrono::seconds(1);
  }, 20000)) << "the game left nothing in the cache";

  x_->WatchTopLevels();
  Click(1578, 15);  // clear the cache
  // The overlay covers the main window from its showing until the work is done.
  ui::HWND overlay = 0;
  EXPECT_TRUE(WaitUntil([&] {
    overlay = 0;
    for (const auto& m : x_->TopLevelMappings()) {
      if (m.mapped && m.id != main && x_->Query(m.id).screenRect == ui::Rect{0, 0, 1920, 1080}) overlay = m.id;
      if (!m.mapped && m.id == overlay) return true;
    }
    return false;
  }, 20000)) << "no overlay over the main window came and went";
  EXPECT_EQ(FilesUnder(cache), 0) << "the cache folder was not emptied";
  EXPECT_EQ(StoredCookie("last_server"), "1") << "the cache clearing took the cookie";
  player->Kill();
  EXPECT_EQ(StoredCookie("last_server"), "1");
}

}  // namespace
}  // namespace zorv::test
