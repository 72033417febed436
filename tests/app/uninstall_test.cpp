// Uninstalling: the question in process, then both stages as real processes
// of the built client in a sandboxed home that a first-run setup filled.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>

#include "InstallSandbox.h"
#include "app/Uninstall.h"
#include "gamewnd/CustomMessageBox.h"
#include "ui/HeadlessFixture.h"

namespace zorv::test {
namespace {

// Every file and folder below root with its content ("<dir>" for folders).
std::map<std::string, std::string> Tree(const std::string& root) {
  std::map<std::string, std::string> tree;
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    const std::string path = it->path().string();
    tree[path.substr(root.size())] = it->is_directory() ? "<dir>" : ReadFile(path).value_or("<unreadable>");
  }
  return tree;
}

using UninstallQuestionTest = HeadlessTest;

TEST_F(UninstallQuestionTest, DecliningChangesNothing) {
  InstallSandbox s;
  s.Run({s.Place(ZORV_INSTALL_DRIVER, "Downloads")});
  const auto before = Tree(s.Box().Root());
  std::wstring caption, text;
  hl().ExpectDialog(CCustomMessageBox::kTemplateId, [&](ui::Dialog& dialog) {
    auto& box = dynamic_cast<CCustomMessageBox&>(dialog);
    caption = box.GetCaption();
    text = box.GetMsg();
    box.EndDialog(ui::IDCANCEL);
  });
  RunUninstallConfirm();
  EXPECT_EQ(caption, L"卸载");
  EXPECT_EQ(text, L"您是否确认卸载《Veltan》？");
  EXPECT_EQ(Tree(s.Box().Root()), before);
}

#ifdef ZORV_CLIENT_EXE

// A sandbox where the first-run setup has run and the installed file is the
// real client, with a headless desktop whose question boxes a script answers.
class UninstallTest : public ::testing::Test {
 protected:
  void SetUp() override {
    s_.Run({s_.Place(ZORV_INSTALL_DRIVER, "Downloads")});
    std::filesystem::copy_file(ZORV_CLIENT_EXE, s_.Installed(), std::filesystem::copy_options::overwrite_existing);
    uninstaller_ = s_.Box().DataHome() + "/cache/brixqorntmpu.exe";
  }

  // Starts the installed client as the uninstall entry does, answering the
  // question with command.
  ChildResult StartUninstall(int command) {
    const std::string script = s_.Box().Path("script.txt");
    WriteFile(script, "answer " + std::to_string(command) + " 164\n");
    return s_.Run({s_.Installed(), "-u"}, {.env = {"ZORV_BACKEND=headless", "ZORV_HEADLESS_SCRIPT=" + script}});
  }

  // Runs the second stage directly, with the raw command line "-u <path>",
  // in the install folder (where a bare name would find the installed file).
  ChildResult Cleanup(const std::string& program, const std::string& installed) {
    return s_.Run({program, "-u", installed}, {.env = {"ZORV_BACKEND=headless", "ZORV_RAW_COMMAND_LINE=-u " + installed},
                                               .workingDir = s_.Install()});
  }

  InstallSandbox s_;
  std::string uninstaller_;
};

TEST_F(UninstallTest, DecliningStartsNothingAndChangesNothing) {
  const auto before = Tree(s_.Box().Root());
  StartUninstall(ui::IDCANCEL);
  auto after = Tree(s_.Box().Root());
  after.erase("/script.txt");
  EXPECT_EQ(after, before);
}

TEST_F(UninstallTest, AcceptingRemovesTheClientThroughASecondProcess) {
  const auto installedBytes = ReadFile(s_.Installed());
  const auto settings = ReadFile(s_.Settings());
  StartUninstall(ui::IDOK);

  // The second stage runs on its own after the first has ended.
  ASSERT_TRUE(WaitUntil([&] { return !Exists(s_.Installed()) && !Exists(s_.MenuRoot()); }))
      << "left: " << Exists(s_.Installed()) << Exists(s_.MenuRoot());
  EXPECT_EQ(ReadFile(uninstaller_), installedBytes);
  EXPECT_EQ(FileMode(uninstaller_) & 0111, 0111);

  // Shortcuts, res and the emptied menu folders are in the trash, restorable.
  EXPECT_TRUE(Exists(s_.Trash() + "/Veltan.desktop"));
  EXPECT_TRUE(Exists(s_.Trash() + "/卸载-Veltan.desktop"));
  EXPECT_EQ(ReadFile(s_.Trash() + "/res/systemset.ini"), settings);
  EXPECT_TRUE(Exists(s_.Trash() + "/res/uninstall.ico"));
  EXPECT_TRUE(Exists(s_.Trash() + "/Veltan"));
  EXPECT_TRUE(Exists(s_.Trash() + "/Zorv"));
  EXPECT_FALSE(Exists(s_.Trash() + "/Zedoro_Brix"));

  // What stays: the empty install folder and both records.
  EXPECT_TRUE(Tree(s_.Install()).empty());
  EXPECT_EQ(s_.MachineRecord(), s_.ExpectedRecord());
  EXPECT_EQ(s_.ProfileRecord(), s_.ExpectedRecord());
}

TEST_F(UninstallTest, SecondStageKeepsAMenuFolderOtherProductsStillUse) {
  std::filesystem::create_directories(s_.MenuRoot() + "/Other");
  WriteFile(s_.MenuRoot() + "/Other/Other.desktop", "[Desktop Entry]\n");
  std::filesystem::create_directories(s_.Box().DataHome() + "/cache");
  std::filesystem::copy_file(s_.Installed(), uninstaller_);

  Cleanup(uninstaller_, s_.Installed());
  EXPECT_FALSE(Exists(s_.Installed()));
  EXPECT_FALSE(Exists(s_.Menu()));
  EXPECT_EQ(Tree(s_.MenuRoot()), (std::map<std::string, std::string>{{"/Other", "<dir>"},
                                                                      {"/Other/Other.desktop", "[Desktop Entry]\n"}}));

  // A second run finds nothing left to remove.
  const auto before = Tree(s_.Box().Root());
  Cleanup(uninstaller_, s_.Installed());
  EXPECT_EQ(Tree(s_.Box().Root()), before);
}

TEST_F(UninstallTest, SecondStageRemovesOnlyWhatAFullInstalledPathNames) {
  std::filesystem::create_directories(s_.Box().DataHome() + "/cache");
  std::filesystem::copy_file(s_.Installed(), uninstaller_);
  // A bare name or a file at the root: no executable and no res folder goes,
  // the shortcuts still do.
  for (const std::string arg : {"Zedoro_Brix", "/Zedoro_Brix"}) {
    SCOPED_TRACE(arg);
    Cleanup(uninstaller_, arg);
    EXPECT_TRUE(Exists(s_.Installed()));
    EXPECT_TRUE(Exists(s_.Res()));
    EXPECT_FALSE(Exists(s_.GameEntry()));
  }
  // An executable that cannot be deleted is waited for, then left; the res
  // folder still goes.
  ASSERT_EQ(::chmod(s_.Installed().c_str(), 0555), 0);
  Cleanup(uninstaller_, s_.Installed());
  EXPECT_TRUE(Exists(s_.Installed()));
  EXPECT_FALSE(Exists(s_.Res()));
}

#endif  // ZORV_CLIENT_EXE

}  // namespace
}  // namespace zorv::test
