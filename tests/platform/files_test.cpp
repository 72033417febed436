#include "platform/Files.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>

#include "support/ChildProcess.h"
#include "support/FileHelpers.h"
#include "support/Sandbox.h"

using namespace zorv::test;

namespace {

class FilesTest : public ::testing::Test {
 protected:
  std::string P(const std::string& name) { return box.Path(name); }
  std::wstring W(const std::string& name) { return box.WPath(name); }
  // Names in the sandbox root that the test did not make itself (temporaries).
  std::vector<std::wstring> Names() {
    auto names = platform::ListFolder(box.WRoot());
    std::sort(names.begin(), names.end());
    return names;
  }
  Sandbox box;
};

TEST_F(FilesTest, CopyKeepsModeTimeAndReplacesAtomically) {
  ASSERT_TRUE(WriteFile(P("src"), "new"));
  ASSERT_EQ(chmod(P("src").c_str(), 0751), 0);
  const timespec times[2] = {{1000, 0}, {2000, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, P("src").c_str(), times, 0), 0);
  ASSERT_TRUE(WriteFile(P("dst"), "old contents"));

  // A reader holding the old file keeps seeing it: the target was replaced, not rewritten.
  int reader = open(P("dst").c_str(), O_RDONLY);
  ASSERT_GE(reader, 0);
  ASSERT_TRUE(platform::CopyFile(W("src"), W("dst"), false));
  char buf[32] = {};
  EXPECT_EQ(read(reader, buf, sizeof buf), 12);
  EXPECT_STREQ(buf, "old contents");
  close(reader);

  EXPECT_EQ(ReadFile(P("dst")), "new");
  EXPECT_EQ(FileMode(P("dst")), 0751);
  struct stat st;
  ASSERT_EQ(stat(P("dst").c_str(), &st), 0);
  EXPECT_EQ(st.st_mtim.tv_sec, 2000);
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"dst", L"home", L"src"}));
}

TEST_F(FilesTest, CopyFailures) {
  ASSERT_TRUE(WriteFile(P("src"), "x"));
  ASSERT_TRUE(WriteFile(P("dst"), "keep"));

  EXPECT_FALSE(platform::CopyFile(W("src"), W("dst"), true));
  EXPECT_EQ(platform::LastError(), EEXIST);
  EXPECT_FALSE(platform::CopyFile(W("missing"), W("new"), false));
  EXPECT_EQ(platform::LastError(), ENOENT);
  EXPECT_FALSE(platform::CopyFile(W("src"), W("no/such/folder/f"), false));
  EXPECT_EQ(platform::LastError(), ENOENT);
  EXPECT_TRUE(platform::CopyFile(W("src"), W("new"), true));
  EXPECT_EQ(ReadFile(P("dst")), "keep");
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"dst", L"home", L"new", L"src"}));
}

// The tests run as root, who may write anything; the read-only attribute is
// still honoured, as Windows honours it for administrators.
TEST_F(FilesTest, ReadOnlyFileIsRefusedForEveryWrite) {
  ASSERT_TRUE(WriteFile(P("src"), "x"));
  ASSERT_TRUE(WriteFile(P("ro"), "keep"));
  ASSERT_TRUE(platform::SetReadOnly(W("ro"), true));
  EXPECT_TRUE(platform::IsReadOnly(W("ro")));
  EXPECT_EQ(FileMode(P("ro")) & 0222, 0);

  EXPECT_FALSE(platform::CopyFile(W("src"), W("ro"), false));
  EXPECT_EQ(platform::LastError(), EACCES);
  EXPECT_FALSE(platform::WriteWholeFile(W("ro"), "y"));
  EXPECT_EQ(platform::LastError(), EACCES);
  EXPECT_FALSE(platform::DeleteFile(W("ro")));
  EXPECT_EQ(platform::LastError(), EACCES);
  EXPECT_EQ(ReadFile(P("ro")), "keep");

  ASSERT_TRUE(platform::SetReadOnly(W("ro"), false));
  EXPECT_FALSE(platform::IsReadOnly(W("ro")));
  EXPECT_TRUE(platform::DeleteFile(W("ro")));
  EXPECT_FALSE(platform::FileExists(W("ro")));
}

TEST_F(FilesTest, RunningExecutableCannotBeReplaced) {
  ASSERT_TRUE(platform::CopyFile(L"/bin/sleep", W("sleeper"), false));
  pid_t pid;
  std::string path = P("sleeper");
  char* argv[] = {path.data(), const_cast<char*>("30"), nullptr};
  ASSERT_EQ(posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ), 0);
  // Wait until the copy is really executing (its exe link names our file).
  std::string exe = "/proc/" + std::to_string(pid) + "/exe";
  ASSERT_TRUE(WaitUntil([&] {
    char target[4096];
    ssize_t n = readlink(exe.c_str(), target, sizeof target);
    return n > 0 && std::string(target, static_cast<std::size_t>(n)) == path;
  }));
  EXPECT_FALSE(platform::CopyFile(L"/bin/true", W("sleeper"), false));
  EXPECT_EQ(platform::LastError(), ETXTBSY);
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  EXPECT_TRUE(platform::CopyFile(L"/bin/true", W("sleeper"), false));
}

TEST_F(FilesTest, WholeFilesAndFolders) {
  EXPECT_TRUE(platform::WriteWholeFile(W("f"), std::string("a\0b", 3)));
  std::string bytes;
  EXPECT_TRUE(platform::ReadWholeFile(W("f"), bytes));
  EXPECT_EQ(bytes, std::string("a\0b", 3));
  EXPECT_EQ(platform::FileSize(W("f")), 3);
  EXPECT_EQ(platform::FileSize(W("none")), -1);
  EXPECT_FALSE(platform::ReadWholeFile(W("none"), bytes));
  EXPECT_EQ(platform::LastError(), ENOENT);

  // Rewriting keeps the file's mode; making it executable follows its read bits.
  ASSERT_EQ(chmod(P("f").c_str(), 0640), 0);
  EXPECT_TRUE(platform::WriteWholeFile(W("f"), "b"));
  EXPECT_EQ(FileMode(P("f")), 0640);
  EXPECT_TRUE(platform::SetExecutable(W("f")));
  EXPECT_EQ(FileMode(P("f")), 0750);

  EXPECT_TRUE(platform::CreateFolder(W("d")));
  EXPECT_FALSE(platform::CreateFolder(W("d")));
  EXPECT_EQ(platform::LastError(), EEXIST);
  EXPECT_FALSE(platform::CreateFolder(W("x/y")));
  EXPECT_TRUE(platform::IsFolder(W("d")));
  EXPECT_FALSE(platform::IsFolder(W("f")));
  EXPECT_FALSE(platform::DeleteFile(W("d")));
  bool ok = false;
  EXPECT_TRUE(platform::ListFolder(W("d"), &ok).empty());
  EXPECT_TRUE(ok);
  platform::ListFolder(W("none"), &ok);
  EXPECT_FALSE(ok);
  EXPECT_TRUE(platform::RemoveFolder(W("d")));
  EXPECT_FALSE(platform::FileExists(W("d")));
}

}  // namespace
