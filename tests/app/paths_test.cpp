#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "app/FileVersionText.h"
#include "app/FormatPath.h"
#include "app/InstallDir.h"
#include "app/IsFolderEmpty.h"
#include "app/Settings.h"
#include "support/ChildProcess.h"
#include "support/FileHelpers.h"
#include "support/Sandbox.h"

using namespace zorv::test;

namespace {

// Made before any test runs: the install folder is worked out once per process.
Sandbox& g_sandbox = ProcessSandbox();

std::string InstallDir() { return g_sandbox.DataHome() + "/Zorv/Zorv/"; }

TEST(GetInstallDir, BelowAppDataAndWorkedOutOnce) {
  EXPECT_EQ(Narrow(GetInstallDir()), InstallDir());
  const std::string before = std::getenv("XDG_DATA_HOME");
  setenv("XDG_DATA_HOME", "/elsewhere", 1);
  EXPECT_EQ(Narrow(GetInstallDir()), InstallDir());
  setenv("XDG_DATA_HOME", before.c_str(), 1);
  EXPECT_FALSE(Exists(InstallDir()));  // not created here
}

TEST(Settings, ReadWriteThroughTheInstalledFile) {
  // No file yet: every read gives the caller's default, a write creates nothing.
  EXPECT_EQ(ReadSetting(L"Setting", L"start", L"-1"), L"-1");
  EXPECT_EQ(ReadSetting(L"Start", L"firststart", L"0"), L"0");
  WriteSetting(L"Setting", L"start", L"1001");
  EXPECT_FALSE(Exists(InstallDir()));

  std::filesystem::create_directories(InstallDir() + "res");
  const std::string file = InstallDir() + "res/systemset.ini";
  ASSERT_TRUE(WriteFile(file, "[Setting]\r\nscreentoggle=\r\nfullscreen=F11\r\n"));
  EXPECT_EQ(ReadSetting(L"Setting", L"screentoggle", L"0"), L"");
  EXPECT_EQ(ReadSetting(L"setting", L"FullScreen", L"0"), L"F11");
  WriteSetting(L"Setting", L"start", L"1001");
  WriteSetting(L"Start", L"firststart", L"0");
  EXPECT_EQ(ReadFile(file), "[Setting]\r\nscreentoggle=\r\nfullscreen=F11\r\nstart=1001\r\n[Start]\r\nfirststart=0\r\n");

  WriteSetting(L"Setting", L"long", std::wstring(400, L'v'));
  EXPECT_EQ(ReadSetting(L"Setting", L"long", L""), std::wstring(259, L'v'));
}

TEST(FormatPath, WindowsStyleFormats) {
  std::wstring out;
  EXPECT_TRUE(FormatPath(out, L"%s/%s", std::wstring(L"/data/Zorv"), L"缓存"));
  EXPECT_EQ(out, L"/data/Zorv/缓存");
  EXPECT_TRUE(FormatPath(out, L"%S-%hs-%c-%d-%04x%%", "narrow", std::string("n2"), L'中', 42, 0x3a8));
  EXPECT_EQ(out, L"narrow-n2-中-42-03a8%");
}

// 259 characters fit; beyond that the result is empty and false, never cut or a crash.
TEST(FormatPath, TooLongFailsCleanly) {
  std::wstring out = L"stale";
  EXPECT_TRUE(FormatPath(out, L"%s", std::wstring(259, L'a')));
  EXPECT_EQ(out.size(), 259u);
  EXPECT_FALSE(FormatPath(out, L"%s", std::wstring(260, L'a')));
  EXPECT_EQ(out, L"");
  EXPECT_FALSE(FormatPath(out, L"%s/%s", std::wstring(200, L'a'), std::wstring(100, L'b')));
  EXPECT_EQ(out, L"");
}

TEST(IsFolderEmpty, EntriesMissingAndFiles) {
  const std::string folder = g_sandbox.Path("empty-check");
  EXPECT_TRUE(IsFolderEmpty(Widen(folder)));  // missing
  std::filesystem::create_directories(folder);
  EXPECT_TRUE(IsFolderEmpty(Widen(folder)));
  ASSERT_TRUE(WriteFile(folder + "/.hidden", ""));
  EXPECT_FALSE(IsFolderEmpty(Widen(folder)));
}

TEST(GetFileVersionText, MissingPlainAndVersioned) {
  EXPECT_EQ(GetFileVersionText(g_sandbox.WPath("none.exe")), L"");
  ASSERT_TRUE(WriteFile(g_sandbox.Path("plain.exe"), "not an executable"));
  EXPECT_EQ(GetFileVersionText(g_sandbox.WPath("plain.exe")), L"None VerSion Supprot");
  EXPECT_EQ(GetFileVersionText(L"/bin/true"), L"None VerSion Supprot");
#ifdef ZORV_CLIENT_EXE
  EXPECT_EQ(GetFileVersionText(Widen(ZORV_CLIENT_EXE)), L"1.0.0.1");
#endif
}

}  // namespace
