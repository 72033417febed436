#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "hotkey/GlobalHotkeys.h"
#include "support/FileHelpers.h"
#include "support/Sandbox.h"
#include "ui/HeadlessFixture.h"
#include "ui/Messages.h"
#include "ui/Window.h"

using namespace ui;
using namespace zorv::test;

namespace {

// Made before any test runs: the install folder is worked out once per process.
Sandbox& g_sandbox = ProcessSandbox();

class Main : public Window {
 public:
  bool Make() { return CreateEx({L"Main", L"main", WS_POPUP | WS_VISIBLE, 0, Rect::FromXYWH(0, 0, 100, 100), 0, 0}); }
  std::vector<UINT> hotkeys;

 protected:
  void OnHotKey(UINT id, UINT, UINT) override { hotkeys.push_back(id); }
};

class GlobalHotkeysTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    ASSERT_TRUE(main.Make());
  }
  void WriteSettings(const std::string& lines) {
    const std::string res = g_sandbox.DataHome() + "/Zorv/Zorv/res";
    std::filesystem::create_directories(res);
    ASSERT_TRUE(WriteFile(res + "/systemset.ini", "[Setting]\r\n" + lines));
  }
  // (modifiers, key) held for id by the main window, nullopt when not registered.
  std::optional<std::pair<UINT, UINT>> Held(int id) {
    auto entry = hl().FindHotkey(main.GetSafeHwnd(), id);
    if (!entry) return std::nullopt;
    return std::make_pair(entry->modifiers, entry->virtualKey);
  }
  using Combo = std::optional<std::pair<UINT, UINT>>;
  Main main;
};

TEST_F(GlobalHotkeysTest, DefaultSettingsHoldF10F11AndF5AndPressesArrive) {
  WriteSettings("screentoggle=F10\r\nfullscreen=F11\r\nscreenshots=Ctrl+Shift+A\r\n");
  RegisterGlobalHotkeys(main.GetSafeHwnd());
  EXPECT_EQ(Held(kHotkeyRefresh), Combo({0, 0x74}));
  EXPECT_EQ(Held(kHotkeyBossKey), Combo({0, 0x79}));
  EXPECT_EQ(Held(kHotkeyFullScreen), Combo({0, 0x7A}));
  EXPECT_EQ(hl().Hotkeys().size(), 3u);  // "screenshots" is read by nobody
  ASSERT_TRUE(hl().PressHotkey(0, 0x79));
  ASSERT_TRUE(hl().PressHotkey(0, 0x74));
  PumpMessages();
  EXPECT_EQ(main.hotkeys, (std::vector<UINT>{2, 1}));
}

TEST_F(GlobalHotkeysTest, ConfiguredTextsMissingKeysAndEmptyValues) {
  struct Case {
    std::string settings;
    Combo bossKey, fullScreen;
  };
  const Case cases[] = {
      {"screentoggle=Ctrl+Shift+A\r\nfullscreen=Alt+F12\r\n", Combo({6, 0x41}), Combo({1, 0x7B})},
      // a missing key reads as "0": the digit key 0, which the boss key takes
      // first, so the fullscreen toggle's identical combination is refused
      {"", Combo({0, 0x30}), std::nullopt},
      // a name outside the table still registers, with key code 0
      {"screentoggle=Ctrl+Esc\r\nfullscreen=F11\r\n", Combo({2, 0}), Combo({0, 0x7A})},
      // an empty value leaves the hotkey alone: no unregistration either
      {"screentoggle=\r\nfullscreen=F11\r\n", Combo({MOD_ALT, 'Q'}), Combo({0, 0x7A})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.settings);
    for (int id : {1, 2, 3}) UnregisterHotKey(main.GetSafeHwnd(), id);
    ASSERT_TRUE(RegisterHotKey(main.GetSafeHwnd(), kHotkeyBossKey, MOD_ALT, 'Q'));
    WriteSettings(c.settings);
    RegisterGlobalHotkeys(main.GetSafeHwnd());
    EXPECT_EQ(Held(kHotkeyBossKey), c.bossKey);
    EXPECT_EQ(Held(kHotkeyFullScreen), c.fullScreen);
    EXPECT_EQ(Held(kHotkeyRefresh), Combo({0, 0x74}));
  }
}

TEST_F(GlobalHotkeysTest, ACombinationAnotherProgramHoldsIsSkippedSilently) {
  WriteSettings("screentoggle=F10\r\nfullscreen=F11\r\n");
  hl().TakeHotkeyForOtherProgram(0, 0x79);
  hl().TakeHotkeyForOtherProgram(0, 0x74);
  RegisterGlobalHotkeys(main.GetSafeHwnd());
  EXPECT_EQ(Held(kHotkeyBossKey), std::nullopt);
  EXPECT_EQ(Held(kHotkeyRefresh), std::nullopt);
  EXPECT_EQ(Held(kHotkeyFullScreen), Combo({0, 0x7A}));
  EXPECT_FALSE(hl().PressHotkey(0, 0x79));
  EXPECT_TRUE(hl().PressHotkey(0, 0x7A));
  PumpMessages();
  EXPECT_EQ(main.hotkeys, (std::vector<UINT>{3}));
}

}  // namespace
