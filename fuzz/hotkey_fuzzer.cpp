// The hotkey text reader on arbitrary text (UTF-8 input). The result must
// match a plain reading of the grammar: split at every "+", every part but the
// last a modifier word, the last one a key name looked up exactly.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "hotkey/HotkeyText.h"
#include "platform/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const HotkeyNameTable table;
  const std::wstring text = platform::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));

  std::uint32_t modifiers = 0xFFFFFFFF, keyCode = 0xFFFFFFFF;
  ParseHotkeyText(table, text, modifiers, keyCode);

  std::uint32_t expectedModifiers = 0;
  std::size_t start = 0;
  for (std::size_t plus = text.find(L'+'); plus != std::wstring::npos; plus = text.find(L'+', start)) {
    const std::wstring_view word = std::wstring_view(text).substr(start, plus - start);
    if (word == L"Alt") expectedModifiers |= 1;
    if (word == L"Ctrl") expectedModifiers |= 2;
    if (word == L"Shift") expectedModifiers |= 4;
    start = plus + 1;
  }
  const std::wstring keyName = text.substr(start);
  const auto found = table.Entries().find(keyName);
  const std::uint32_t expectedKey = found == table.Entries().end() ? 0 : found->second;

  if (modifiers != expectedModifiers || keyCode != expectedKey) std::abort();
  return 0;
}
