#include "hotkey/HotkeyText.h"

#include "ui/Messages.h"

HotkeyNameTable::HotkeyNameTable() {
  names_ = {
      {L"Alt", 0x12},      {L"Ctrl", 0x11},      {L"Shift", 0x10},   {L"Space", 0x20},
      {L"PageUp", 0x21},   {L"PageDown", 0x22},  {L"End", 0x23},     {L"Home", 0x24},
      {L"Left", 0x25},     {L"Up", 0x26},        {L"Right", 0x27},   {L"Down", 0x28},
      {L"Insert", 0x2D},   {L"Delete", 0x2E},    {L"Num*", 0x6A},    {L"Num+", 0x6B},
      {L"Num-", 0x6D},     {L"NumDel", 0x6E},    {L"Num/", 0x6F},    {L";", 0xBA},
      {L"+", 0xBB},        {L",", 0xBC},         {L"-", 0xBD},       {L".", 0xBE},
      {L"/", 0xBF},        {L"`", 0xC0},         {L"[", 0xDB},       {L"\\", 0xDC},
      {L"]", 0xDD},        {L"'", 0xDE},
  };
  for (std::uint32_t i = 0; i < 10; ++i) {
    names_[std::wstring(1, wchar_t(L'0' + i))] = 0x30 + i;
    names_[L"Num" + std::to_wstring(i)] = 0x60 + i;
  }
  for (std::uint32_t i = 0; i < 26; ++i) names_[std::wstring(1, wchar_t(L'A' + i))] = 0x41 + i;
  for (std::uint32_t i = 0; i < 12; ++i) names_[L"F" + std::to_wstring(i + 1)] = 0x70 + i;
}

std::uint32_t HotkeyNameTable::Find(const std::wstring& name) const {
  auto it = names_.find(name);
  return it == names_.end() ? 0 : it->second;
}

void ParseHotkeyText(const HotkeyNameTable& table, std::wstring text, std::uint32_t& modifiers,
                     std::uint32_t& keyCode) {
  modifiers = 0;
  keyCode = 0;
  if (!text.empty()) {
    for (std::size_t plus = text.find(L'+'); plus != std::wstring::npos; plus = text.find(L'+')) {
      std::wstring head = text.substr(0, plus);
      text.erase(0, plus + 1);
      if (head == L"Alt")
        modifiers |= ui::MOD_ALT;
      else if (head == L"Ctrl")
        modifiers |= ui::MOD_CONTROL;
      else if (head == L"Shift")
        modifiers |= ui::MOD_SHIFT;
      if (text.empty()) break;
    }
  }
  keyCode = table.Find(text);
}
