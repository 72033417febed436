#include "platform/Shell.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "support/ChildProcess.h"
#include "support/FileHelpers.h"
#include "support/Sandbox.h"

namespace {

using zorv::test::Exists;
using zorv::test::ReadFile;
using zorv::test::Sandbox;
using zorv::test::Widen;
using zorv::test::WriteFile;

std::string ExecLine(const std::string& entry) {
  auto start = entry.find("\nExec=");
  if (start == std::string::npos) return {};
  start += 6;
  return entry.substr(start, entry.find('\n', start) - start);
}

TEST(DesktopEntryTest, ExecQuotesWhatTheDesktopWouldSplitOrExpand) {
  struct Case {
    std::wstring target;
    std::vector<std::wstring> args;
    std::string exec;
  } cases[] = {
      {L"/opt/z/Zedoro_Brix", {L"1"}, "/opt/z/Zedoro_Brix 1"},
      {L"/home/a b/Zedoro_Brix", {L"-u"}, R"("/home/a b/Zedoro_Brix" -u)"},
      {L"/x/100%/c", {}, "/x/100%%/c"},
      {L"/x/a\"b$c`d\\e", {L""}, R"("/x/a\\"b\\$c\\`d\\\\e" "")"},
      {L"/x/it's", {L"a;b", L"50%"}, R"("/x/it's" "a;b" 50%%)"},
  };
  for (const auto& c : cases) {
    std::string text = platform::DesktopEntryText({c.target, c.args, L"", L""}, L"Veltan");
    EXPECT_EQ(ExecLine(text), c.exec) << zorv::test::Narrow(c.target);
  }
}

TEST(DesktopEntryTest, SavedEntryValidatesAndLaunchesWithTheExactArguments) {
  Sandbox sandbox;
  // A program whose folder needs quoting and escapes; it records its arguments.
  // (No '%' here: the loader's check that the program exists does not undo
  // the doubling, although the launch does.)
  std::string folder = sandbox.Path("dl dir $HOME 'q' \"d\" \\x");
  std::filesystem::create_directories(folder);
  std::string program = folder + "/run me";
  std::string record = sandbox.Path("args.txt");
  ASSERT_TRUE(WriteFile(program, "#!/bin/sh\nprintf '%s|' \"$0\" \"$@\" > '" + record + "'\n"));
  ::chmod(program.c_str(), 0755);
  std::string menu = sandbox.DataHome() + "/applications/Zorv/Veltan";
  std::filesystem::create_directories(menu);
  std::string link = menu + "/卸载-Veltan.desktop";

  ASSERT_TRUE(platform::SaveShellLink({Widen(program), {L"-u", L"a b"}, L"", Widen(folder + "/res/uninstall.ico")},
                                      Widen(link)));
  auto text = ReadFile(link);
  ASSERT_TRUE(text);
  EXPECT_NE(text->find("\nName=卸载-Veltan\n"), std::string::npos) << *text;
  // The backslash in the folder is escaped in the value.
  std::string iconValue = folder.substr(0, folder.size() - 2) + "\\\\x/res/uninstall.ico";
  EXPECT_NE(text->find("\nIcon=" + iconValue + "\n"), std::string::npos) << *text;

  auto validate = zorv::test::RunChild({"desktop-file-validate", link});
  EXPECT_EQ(validate.exitCode, 0) << validate.out << validate.err;

  auto launch = zorv::test::RunChild({"gio", "launch", link});
  ASSERT_EQ(launch.exitCode, 0) << launch.err;
  ASSERT_TRUE(zorv::test::WaitUntil([&] { return Exists(record); }));
  EXPECT_TRUE(zorv::test::WaitUntil([&] { return ReadFile(record) == program + "|-u|a b|"; }))
      << ReadFile(record).value_or("");

  // Saving again replaces the entry.
  ASSERT_TRUE(platform::SaveShellLink({Widen(program), {L"1"}, L"", L""}, Widen(link)));
  std::string exec = ExecLine(*ReadFile(link));
  EXPECT_EQ(exec.substr(exec.size() - 2), " 1") << exec;
  EXPECT_EQ(ReadFile(link)->find("Icon="), std::string::npos);
}

TEST(DesktopEntryTest, SaveIntoMissingFolderFails) {
  Sandbox sandbox;
  EXPECT_FALSE(platform::SaveShellLink({L"/bin/true", {}, L"", L""}, sandbox.WPath("missing/x.desktop")));
  EXPECT_FALSE(Exists(sandbox.Path("missing")));
}

TEST(TrashTest, FilesAndWholeFoldersGoToTheTrashRestorably) {
  Sandbox sandbox;
  std::string install = sandbox.DataHome() + "/Zorv/Zorv";
  std::filesystem::create_directories(install + "/res/sub");
  ASSERT_TRUE(WriteFile(install + "/res/systemset.ini", "[Start]\r\nfirststart=0\r\n"));
  ASSERT_TRUE(WriteFile(install + "/res/sub/x", "x"));
  ASSERT_TRUE(WriteFile(install + "/Veltan.desktop", "entry"));

  EXPECT_TRUE(platform::MoveToTrash(Widen(install + "/res")));
  EXPECT_TRUE(platform::MoveToTrash(Widen(install + "/Veltan.desktop")));
  EXPECT_FALSE(Exists(install + "/res"));
  EXPECT_FALSE(Exists(install + "/Veltan.desktop"));

  std::string trash = sandbox.DataHome() + "/Trash";
  EXPECT_EQ(ReadFile(trash + "/files/res/systemset.ini"), "[Start]\r\nfirststart=0\r\n");
  EXPECT_EQ(ReadFile(trash + "/files/res/sub/x"), "x");
  EXPECT_EQ(ReadFile(trash + "/files/Veltan.desktop"), "entry");
  auto info = ReadFile(trash + "/info/res.trashinfo");
  ASSERT_TRUE(info);
  EXPECT_NE(info->find("Path=" + install + "/res\n"), std::string::npos) << *info;

  // Nothing left to move: a quiet failure.
  EXPECT_FALSE(platform::MoveToTrash(Widen(install + "/res")));
}

}  // namespace
