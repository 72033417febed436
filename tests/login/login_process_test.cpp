// The real executable on the headless desktop, from start to the game page
// and out through the main window's close button, in a sandboxed home. The
// copy under test asks a local version server: the build's version-server
// address inside its resources is rewritten, byte for byte, to this test's
// server (same length, so nothing else in the file moves).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/InstallDir.h"
#include "login/VersionServer.h"
#include "platform/Resources.h"
#include "platform/Text.h"
#include "support/ChildProcess.h"
#include "support/FileHelpers.h"
#include "support/Sandbox.h"

namespace {

using namespace zorv::test;

// A copy of the client whose version server (string 191) is server instead.
// Empty when the address cannot be swapped without moving bytes.
std::string CopyClientAskingServer(const std::string& to, const std::string& server) {
  const std::string built = platform::ToUtf8(platform::LoadString(191));
  if (built.empty() || built.size() != server.size()) return {};
  auto bytes = ReadFile(ZORV_CLIENT_EXE);
  if (!bytes) return {};
  int swapped = 0;
  for (size_t at = bytes->find(built); at != std::string::npos; at = bytes->find(built, at + server.size())) {
    bytes->replace(at, built.size(), server);
    ++swapped;
  }
  if (swapped == 0 || !WriteFile(to, *bytes)) return {};
  std::filesystem::permissions(to, std::filesystem::perms::owner_all);
  return to;
}

TEST(LoginProcess, NormalStartReachesTheGamePageAndExits) {
  Sandbox sandbox;
  VersionServer server;
  const std::string exe = CopyClientAskingServer(sandbox.Path("Zedoro_Brix"), server.Base());
  if (exe.empty()) GTEST_SKIP() << "the version server address cannot be swapped for " << server.Base();

  const std::string site = "http://127.0.0.1:18080";
  const std::string game = site + "/games/fwqorn/play_gamecode.php?sid=5&key=a%2Fb";
  const std::string script = "dialog 101\n"
                             "dialog 103\n"
                             "page finish " + site + "/frame/1 " + site + "/frame/2\n"
                             "page navigate " + site + "/games/fwqorn/dlq/?server=3\n"
                             "page navigate " + site + "/x/PLAY_GAMECODE?sid=1\n"
                             "page navigate " + game + "\n"
                             "page expect " + game + "\n"
                             "page finish\n"
                             "click 1001\n"
                             "answer 1 164\n"
                             "answer 2 164\n";
  ASSERT_TRUE(WriteFile(sandbox.Path("script.txt"), script));

  ChildOptions options;
  options.env = sandbox.Environment();
  options.env.push_back("ZORV_BACKEND=headless");
  options.env.push_back("ZORV_HEADLESS_SCRIPT=" + sandbox.Path("script.txt"));
  const ChildResult run = RunChild({exe}, options);

  ASSERT_TRUE(run.started);
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err.find("headless script"), std::string::npos) << run.err;
  EXPECT_TRUE(std::filesystem::exists(platform::ToUtf8(GetInstallDir() + L"res/systemset.ini")));
  EXPECT_EQ(server.Requests(), 1);
  EXPECT_EQ(server.AskedVersion(), "1.0.0.1");
}

}  // namespace
