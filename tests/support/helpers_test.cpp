#include <gtest/gtest.h>

#include <cstdlib>

#include "support/ChildProcess.h"
#include "support/FileHelpers.h"
#include "support/Sandbox.h"

using namespace zorv::test;

TEST(Sandbox, PointsFoldersInsideAndRestoresThem) {
  setenv("XDG_DESKTOP_DIR", "/before", 1);
  unsetenv("XDG_CACHE_HOME");
  std::string root;
  {
    Sandbox box;
    root = box.Root();
    EXPECT_EQ(std::getenv("HOME"), box.Home());
    EXPECT_EQ(std::getenv("XDG_DATA_HOME"), box.DataHome());
    EXPECT_EQ(std::getenv("XDG_DESKTOP_DIR"), box.Desktop());
    ASSERT_TRUE(WriteFile(box.Path("f"), "x"));
    EXPECT_EQ(ReadFile(box.Path("f")), "x");
  }
  EXPECT_STREQ(std::getenv("XDG_DESKTOP_DIR"), "/before");
  EXPECT_EQ(std::getenv("XDG_CACHE_HOME"), nullptr);
  EXPECT_FALSE(Exists(root));
  unsetenv("XDG_DESKTOP_DIR");
}

TEST(RunChild, PassesEnvironmentAndCollectsOutput) {
  ChildOptions options;
  options.env = {"ZORV_PROBE=a b"};
  options.stdinText = "in";
  ChildResult r = RunChild({"sh", "-c", "printf %s \"$ZORV_PROBE\"; cat >&2; exit 3"}, options);
  ASSERT_TRUE(r.started);
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(r.out, "a b");
  EXPECT_EQ(r.err, "in");
}

TEST(RunChild, KillsAChildPastItsTimeOut) {
  ChildOptions options;
  options.timeoutMs = 200;
  ChildResult r = RunChild({"sleep", "30"}, options);
  EXPECT_TRUE(r.timedOut);
  EXPECT_EQ(r.signal, 9);
}

TEST(RunChild, DoesNotWaitForAGrandchildHoldingItsOutput) {
  ChildOptions options;
  options.timeoutMs = 5000;
  ChildResult r = RunChild({"sh", "-c", "sleep 3 & echo done"}, options);
  EXPECT_FALSE(r.timedOut);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "done\n");
}
