#include "platform/Folders.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/FileHelpers.h"
#include "support/Sandbox.h"

using namespace zorv::test;
using platform::SpecialFolder;

namespace {

TEST(Folders, FollowTheXdgVariables) {
  Sandbox box;
  EXPECT_EQ(Narrow(platform::GetSpecialFolder(SpecialFolder::AppData)), box.DataHome());
  EXPECT_EQ(Narrow(platform::GetSpecialFolder(SpecialFolder::Programs)), box.DataHome() + "/applications");
  EXPECT_EQ(Narrow(platform::GetSpecialFolder(SpecialFolder::Desktop)), box.Desktop());
  EXPECT_EQ(Narrow(platform::GetSpecialFolder(SpecialFolder::InternetCache)), box.CacheHome() + "/Zorv/browser");
}

// Unset, empty or relative variables fall back to the places under HOME.
TEST(Folders, FallBackToHome) {
  Sandbox box;
  const std::string home = box.Home();
  for (const char* value : {static_cast<const char*>(nullptr), "", "relative/dir"}) {
    for (const char* name : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_DESKTOP_DIR", "XDG_CONFIG_HOME"}) {
      if (value == nullptr)
        unsetenv(name);
      else
        setenv(name, value, 1);
    }
    SCOPED_TRACE(value ? value : "(unset)");
    EXPECT_EQ(Narrow(platform::GetSpecialFolder(SpecialFolder::AppData)), home + "/.local/share");
    EXPECT_EQ(Narrow(platform::GetSpecialFolder(SpecialFolder::Programs)), home + "/.local/share/applications");
    EXPECT_EQ(Narrow(platform::GetSpecialFolder(SpecialFolder::Desktop)), home + "/Desktop");
    EXPECT_EQ(Narrow(platform::GetSpecialFolder(SpecialFolder::InternetCache)), home + "/.cache/Zorv/browser");
  }
}

// Desktops keep a translated desktop folder name in user-dirs.dirs.
TEST(Folders, DesktopFromUserDirs) {
  Sandbox box;
  unsetenv("XDG_DESKTOP_DIR");
  ASSERT_TRUE(WriteFile(box.ConfigHome() + "/user-dirs.dirs",
                        "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/桌面\"\n"));
  EXPECT_EQ(Narrow(platform::GetSpecialFolder(SpecialFolder::Desktop)), box.Home() + "/桌面");
}

}  // namespace
