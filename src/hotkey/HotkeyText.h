#pragma once
// The text form of a hotkey in the settings file: zero or more modifier words
// ("Alt", "Ctrl", "Shift"), each followed by "+", then one key name, spelled
// exactly as in HotkeyNameTable ("F10", "Ctrl+Shift+A"). Nothing is trimmed or
// case-folded, and "+" always separates.
#include <cstdint>
#include <map>
#include <string>

// Key name -> Windows virtual-key code, 88 fixed entries, compared exactly.
class HotkeyNameTable {
 public:
  HotkeyNameTable();
  // The key code of name, or 0 when the table has no such name.
  std::uint32_t Find(const std::wstring& name) const;
  const std::map<std::wstring, std::uint32_t>& Entries() const { return names_; }

 private:
  std::map<std::wstring, std::uint32_t> names_;
};

// Reads text into modifier flags (MOD_ALT | MOD_CONTROL | MOD_SHIFT) and a key
// code, both set to 0 first. Never fails: unknown modifier words are dropped,
// an unknown or empty key name leaves the key code 0.
void ParseHotkeyText(const HotkeyNameTable& table, std::wstring text, std::uint32_t& modifiers,
                     std::uint32_t& keyCode);
