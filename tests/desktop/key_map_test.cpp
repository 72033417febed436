// Hotkeys are grabbed by the accelerator text of their virtual key: a key
// code that names the wrong symbol grabs the wrong key.
#include <gtest/gtest.h>

#include "ui/Messages.h"
#include "ui/gtk/KeyMap.h"

namespace {

TEST(KeyMapTest, HotkeysGrabTheSymbolOfTheirVirtualKey) {
  struct Case {
    ui::UINT modifiers, vk;
    const char* accelerator;
  };
  // 0x70..0x7B and 0x60..0x69 share their codes with lower-case letters and
  // digits of other tables: they are function and keypad keys here.
  const Case cases[] = {
      {0, ui::VK_F10, "F10"},
      {0, ui::VK_F1 + 11, "F12"},
      {ui::MOD_CONTROL | ui::MOD_ALT, 'K', "<Ctrl><Alt>k"},
      {ui::MOD_SHIFT, '5', "<Shift>5"},
      {0, ui::VK_NUMPAD0 + 1, "KP_1"},
      {ui::MOD_ALT, ui::VK_RETURN, "<Alt>Return"},
      {0, ui::VK_ESCAPE, "Escape"},
      {0, 0xC0, "grave"},
      {0, 0x07, ""},  // no key
  };
  for (const Case& c : cases) EXPECT_EQ(ui::gtk::AcceleratorText(c.modifiers, c.vk), c.accelerator) << c.vk;
}

TEST(KeyMapTest, ModifierMasksBecomeModifierBits) {
  EXPECT_EQ(ui::gtk::ModifiersOf(GDK_CONTROL_MASK | GDK_SHIFT_MASK), ui::MOD_CONTROL | ui::MOD_SHIFT);
  EXPECT_EQ(ui::gtk::ModifiersOf(GDK_MOD1_MASK | GDK_LOCK_MASK | GDK_MOD2_MASK), ui::MOD_ALT);
}

}  // namespace
