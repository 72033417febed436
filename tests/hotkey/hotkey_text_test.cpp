#include <gtest/gtest.h>

#include <set>
#include <string>

#include "hotkey/HotkeyText.h"

namespace {

struct Case {
  std::wstring text;
  std::uint32_t modifiers;
  std::uint32_t keyCode;
};

TEST(ParseHotkeyText, ReadsModifierWordsAndTheKeyName) {
  const Case cases[] = {
      {L"F10", 0, 0x79},
      {L"F11", 0, 0x7A},
      {L"Ctrl+Shift+A", 6, 0x41},
      {L"Shift+Ctrl+A", 6, 0x41},        // order of the words does not matter
      {L"Ctrl+Ctrl+A", 2, 0x41},         // a repeated word sets its flag again
      {L"Alt+Ctrl+Shift+F12", 7, 0x7B},
      {L"Alt+Z", 1, 0x5A},
      {L"ctrl+a", 0, 0},                 // no case folding
      {L"Ctrl + A", 0, 0},               // no trimming
      {L"Win+F10", 0, 0x79},             // unknown word dropped, the key counts
      {L"Ctrl+Alt", 2, 0x12},            // the last word is a key name
      {L"Alt", 0, 0x12},
      {L"+F10", 0, 0x79},                // empty head ignored
      {L"Ctrl+", 2, 0},                  // empty key name
      {L"Num+", 0, 0},                   // "+" always separates ...
      {L"Ctrl++", 2, 0},                 // ... so "+" and "Num+" are unreachable
      {L"+", 0, 0},
      {L"0", 0, 0x30},                   // what a missing setting reads as
      {L"", 0, 0},
      {L"Num9", 0, 0x69},
      {L"NumDel", 0, 0x6E},
      {L"Shift+`", 4, 0xC0},
      {L"\\", 0, 0xDC},
      {L"'", 0, 0xDE},
      {L"F13", 0, 0},
      {L"Esc", 0, 0},
      {std::wstring(L"A\0", 2), 0, 0},   // an embedded NUL is part of the name
      {L"Ctrl+Shift+F5+X", 6, 0x58},     // a key name in the middle is dropped
  };
  HotkeyNameTable table;
  for (const Case& c : cases) {
    std::uint32_t modifiers = 99, keyCode = 99;
    ParseHotkeyText(table, c.text, modifiers, keyCode);
    EXPECT_EQ(modifiers, c.modifiers) << "text \"" << std::string(c.text.begin(), c.text.end()) << "\"";
    EXPECT_EQ(keyCode, c.keyCode) << "text \"" << std::string(c.text.begin(), c.text.end()) << "\"";
  }
}

TEST(HotkeyNameTable, HoldsEightyEightNamesForDistinctCodes) {
  HotkeyNameTable table;
  std::set<std::uint32_t> codes;
  for (const auto& [name, code] : table.Entries()) codes.insert(code);
  EXPECT_EQ(table.Entries().size(), 88u);
  EXPECT_EQ(codes.size(), 88u);
  EXPECT_EQ(codes.count(0x6C), 0u);  // no keypad separator
  EXPECT_EQ(table.Find(L"+"), 0xBBu);
  EXPECT_EQ(table.Find(L"Num+"), 0x6Bu);
  EXPECT_EQ(table.Find(L"a"), 0u);
}

}  // namespace
