// The first-run setup, run by real processes started from copies placed in a
// sandboxed home, as a player starts a downloaded or an installed client.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <map>
#include <set>

#include "InstallSandbox.h"
#include "app/FirstSetup.h"

namespace zorv::test {
namespace {

const std::string kDefaultSettings =
    "[Info]\r\ncode=\r\npwd=\r\nrem=1\r\n[Setting]\r\nsoundoff=0\r\nautostart=0\r\nautologin=0\r\n"
    "screenshots=Ctrl+Shift+A\r\nscreentoggle=F10\r\nfullscreen=F11\r\n[Start]\r\nfirststart=1\r\n";

std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) names.insert(entry.path().filename());
  return names;
}

std::string Line(const std::string& text, const std::string& key) {
  auto start = text.find("\n" + key + "=");
  if (start == std::string::npos) return "<none>";
  start += key.size() + 2;
  return text.substr(start, text.find('\n', start) - start);
}

ino_t Inode(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

TEST(VersionNumberTest, DotsAreDroppedAndLeadingDigitsRead) {
  const std::pair<std::wstring, int> cases[] = {
      {L"1.0.0.1", 1001},   {L"1.0.0.12", 10012},          {L"1.0.1.0", 1010}, {L"", 0},
      {L"None VerSion Supprot", 0}, {L" 2.5beta", 25}, {L"-1.0", -10}, {L"9.9.9.9.9.9.9.9.9.9.9", 2147483647},
  };
  for (const auto& [text, number] : cases) EXPECT_EQ(VersionNumber(text), number) << Narrow(text);
}

TEST(InstallTest, FirstStartFromADownloadFolderInstallsEverything) {
  InstallSandbox s;
  const std::string download = s.Place(ZORV_INSTALL_DRIVER, "Downloads/new folder");
  s.Run({download});

  EXPECT_EQ(Names(s.Install()), (std::set<std::string>{"Zedoro_Brix", "res"}));
  EXPECT_EQ(ReadFile(s.Installed()), ReadFile(download));
  EXPECT_EQ(FileMode(s.Installed()) & 0111, 0111);

  EXPECT_EQ(Names(s.Res()), (std::set<std::string>{"systemset.ini", "uninstall.ico", "Zedoro_Brix.png"}));
  std::string settings = kDefaultSettings;
  settings.insert(settings.find("[Start]"), "start=1001\r\n");
  settings.replace(settings.find("firststart=1"), 12, "firststart=0");
  EXPECT_EQ(ReadFile(s.Settings()), settings);
  EXPECT_EQ(ReadFile(s.Res() + "/uninstall.ico"), ReadFile(ZORV_BINARY_DIR "/res/skin/uninstall.ico"));
  EXPECT_EQ(ReadFile(s.Res() + "/Zedoro_Brix.png"), ReadFile(ZORV_BINARY_DIR "/res/skin/273.png"));

  EXPECT_EQ(Names(s.MenuRoot()), std::set<std::string>{"Veltan"});
  EXPECT_EQ(Names(s.Menu()), (std::set<std::string>{"Veltan.desktop", "卸载-Veltan.desktop"}));
  const std::string game = ReadFile(s.GameEntry()).value_or("");
  const std::string uninstall = ReadFile(s.UninstallEntry()).value_or("");
  EXPECT_EQ(Line(game, "Name"), "Veltan");
  EXPECT_EQ(Line(game, "Exec"), s.Installed() + " 1");
  EXPECT_EQ(Line(game, "Icon"), s.Res() + "/Zedoro_Brix.png");
  EXPECT_EQ(Line(uninstall, "Name"), "卸载-Veltan");
  EXPECT_EQ(Line(uninstall, "Exec"), s.Installed() + " -u");
  EXPECT_EQ(Line(uninstall, "Icon"), s.Res() + "/uninstall.ico");
  for (const auto& entry : {s.GameEntry(), s.UninstallEntry()}) {
    auto validate = RunChild({"desktop-file-validate", entry});
    EXPECT_EQ(validate.exitCode, 0) << entry << "\n" << validate.out << validate.err;
  }

  EXPECT_EQ(s.MachineRecord(), s.ExpectedRecord());
  EXPECT_EQ(s.ProfileRecord(), s.ExpectedRecord());
}

#ifdef ZORV_CLIENT_EXE
TEST(InstallTest, TheClientInstallsItselfWhenItsLoginWindowOpens) {
  InstallSandbox s;
  const std::string download = s.Place(ZORV_CLIENT_EXE, "Downloads");
  // The main window runs the login window, which sets up before it shows;
  // the player then closes it with Alt+F4 and confirms.
  const std::string script = s.Box().Path("script.txt");
  ASSERT_TRUE(WriteFile(script, "dialog 101\ndialog 103\nkey 0x73 1\nanswer 1 164\n"));
  const auto run = s.Run({download}, {.env = {"ZORV_BACKEND=headless", "ZORV_HEADLESS_SCRIPT=" + script}});
  EXPECT_EQ(run.err.find("headless script"), std::string::npos) << run.err;

  EXPECT_EQ(ReadFile(s.Installed()), ReadFile(download));
  EXPECT_EQ(s.Setting(L"Setting", L"start"), L"1001");
  EXPECT_EQ(s.Setting(L"Start", L"firststart"), L"0");
  EXPECT_TRUE(Exists(s.Res() + "/uninstall.ico"));
  EXPECT_TRUE(Exists(s.GameEntry()));
  EXPECT_TRUE(Exists(s.UninstallEntry()));
  EXPECT_EQ(s.MachineRecord(), s.ExpectedRecord());
  EXPECT_EQ(s.ProfileRecord(), s.ExpectedRecord());
}
#endif  // ZORV_CLIENT_EXE

TEST(InstallTest, SecondStartOfTheInstalledCopyUnpacksAndCopiesNothing) {
  InstallSandbox s;
  s.Run({s.Place(ZORV_INSTALL_DRIVER, "Downloads")});
  const ino_t installedInode = Inode(s.Installed());
  std::filesystem::remove(s.Res() + "/uninstall.ico");
  std::filesystem::remove(s.GameEntry());
  ASSERT_TRUE(platform::WritePrivateProfileString(L"Start", L"firststart", L"1", Widen(s.Settings())));
  ASSERT_TRUE(platform::RegistrySetString(platform::RegistryHive::LocalMachine, kUninstallKey, L"Path", L"/old"));
  ASSERT_TRUE(platform::RegistrySetString(platform::RegistryHive::CurrentUser, kProfileKey, L"Path", L"/moved"));

  s.Run({s.Installed()});

  EXPECT_FALSE(Exists(s.Res() + "/uninstall.ico"));
  EXPECT_EQ(Inode(s.Installed()), installedInode);
  EXPECT_EQ(s.Setting(L"Start", L"firststart"), L"1");
  EXPECT_TRUE(Exists(s.GameEntry()));
  EXPECT_TRUE(Exists(s.UninstallEntry()));
  // The installed-programs record is never rewritten; the profile copy
  // follows the install target.
  EXPECT_EQ(s.Machine(L"Path"), L"/old");
  EXPECT_EQ(s.ProfileRecord(), s.ExpectedRecord());
}

TEST(InstallTest, TheLargerVersionNumberReplacesTheInstalledCopy) {
  struct Case {
    const char* installed;
    const char* running;
    bool replaced;
  } cases[] = {
      {"1.0.0.1", "1.0.0.2", true},   {"1.0.1.0", "1.0.0.12", true}, {"1.0.0.2", "1.0.0.1", false},
      {"1.0.0.1", "1.0.0.1", false},  {"--none", "1.0.0.1", true},   {"1.0.0.1", "--none", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.installed) + " installed, " + c.running + " running");
    InstallSandbox s;
    const std::string installed = s.Place(ZORV_INSTALL_DRIVER, "home/.local/share/Zorv/Zorv", c.installed);
    const auto before = ReadFile(installed);
    const std::string download = s.Place(ZORV_INSTALL_DRIVER, "Downloads", c.running);
    s.Run({download});
    EXPECT_EQ(ReadFile(installed), c.replaced ? ReadFile(download) : before);
    EXPECT_EQ(s.Setting(L"Start", L"firststart"), c.replaced ? L"0" : L"1");
  }
}

TEST(InstallTest, DefaultFilesAreUnpackedAgainOnceTheirMarkIsGone) {
  InstallSandbox s;
  s.Run({s.Place(ZORV_INSTALL_DRIVER, "Downloads")});

  // The mark removed from a settings file the player changed: the file is
  // kept, the icon rewritten, a stale archive deleted.
  std::string edited = kDefaultSettings;
  edited.replace(edited.find("F10"), 3, "F9");
  ASSERT_TRUE(WriteFile(s.Settings(), edited));
  std::filesystem::remove(s.Res() + "/uninstall.ico");
  ASSERT_TRUE(WriteFile(s.Res() + "/data.zip", "PK"));
  s.Run({s.Installed()});
  EXPECT_EQ(s.Setting(L"Setting", L"screentoggle"), L"F9");
  EXPECT_EQ(s.Setting(L"Setting", L"start"), L"1001");
  EXPECT_TRUE(Exists(s.Res() + "/uninstall.ico"));
  EXPECT_FALSE(Exists(s.Res() + "/data.zip"));

  // The settings file deleted: a fresh default one.
  std::filesystem::remove(s.Settings());
  s.Run({s.Installed()});
  std::string fresh = kDefaultSettings;
  fresh.insert(fresh.find("[Start]"), "start=1001\r\n");
  EXPECT_EQ(ReadFile(s.Settings()), fresh);
}

TEST(InstallTest, EachStepFailsOnItsOwnAndTheOthersStillRun) {
  enum Step { Copied, Unpacked, Shortcuts, MachineRecord, ProfileCopy };
  struct Case {
    const char* damage;
    std::function<void(InstallSandbox&)> apply;
    std::set<Step> failing;
    std::function<void(InstallSandbox&)> check;
  } cases[] = {
      {"damaged settings file",
       [](InstallSandbox& s) {
         std::filesystem::create_directories(s.Res());
         const char garbage[] = "\xff\xfe garbage\0[[x\r\nkey without section=7\r\n[Info\r\n";
         WriteFile(s.Settings(), std::string(garbage, sizeof garbage - 1));
       },
       {},
       [](InstallSandbox& s) {
         EXPECT_NE(ReadFile(s.Settings()).value_or("").find("key without section=7"), std::string::npos);
       }},
      {"res folder is a file", [](InstallSandbox& s) {
         std::filesystem::create_directories(s.Install());
         WriteFile(s.Res(), "mine");
       },
       {Unpacked}, [](InstallSandbox& s) { EXPECT_EQ(ReadFile(s.Res()), "mine"); }},
      {"install folder cannot be made",
       [](InstallSandbox& s) { WriteFile(s.Box().DataHome() + "/Zorv", "x"); }, {Copied, Unpacked}, nullptr},
      {"machine registry cannot be written",
       [](InstallSandbox& s) {
         WriteFile(s.Box().Path("blocked"), "x");
         setenv("ZORV_REGISTRY_MACHINE", s.Box().Path("blocked/registry").c_str(), 1);
       },
       {MachineRecord}, nullptr},
      {"programs folder cannot be made",
       [](InstallSandbox& s) { WriteFile(s.Box().DataHome() + "/applications", "x"); }, {Shortcuts}, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.damage);
    InstallSandbox s;
    const std::string download = s.Place(ZORV_INSTALL_DRIVER, "Downloads");
    c.apply(s);
    s.Run({download});
    const std::map<Step, bool> done = {
        {Copied, ReadFile(s.Installed()) == ReadFile(download)},
        {Unpacked, Exists(s.Res() + "/uninstall.ico")},
        {Shortcuts, Exists(s.GameEntry()) && Exists(s.UninstallEntry())},
        {MachineRecord, s.MachineRecord() == s.ExpectedRecord()},
        {ProfileCopy, s.ProfileRecord() == s.ExpectedRecord()},
    };
    for (const auto& [step, happened] : done) EXPECT_EQ(happened, !c.failing.count(step)) << "step " << step;
    if (c.check) c.check(s);
  }
}

}  // namespace
}  // namespace zorv::test
