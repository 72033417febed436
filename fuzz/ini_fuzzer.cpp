// The settings parser on arbitrary text. Input: section name, key name, value,
// another key name, then the file text, the first four separated by '\n'.
// A write must read back as the value (trimmed, one pair of quotes removed),
// leave another key of the section as it was, and be stable when repeated.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/IniText.h"
#include "platform/Text.h"

namespace {

std::string_view TakeLine(std::string_view& input) {
  auto end = input.find('\n');
  std::string_view line = input.substr(0, end);
  input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
  return line;
}

std::wstring Expected(std::wstring value) {
  auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
  while (!value.empty() && blank(value.front())) value.erase(0, 1);
  while (!value.empty() && blank(value.back())) value.pop_back();
  if (value.size() >= 2 && (value[0] == L'"' || value[0] == L'\'') && value.back() == value[0])
    value = value.substr(1, value.size() - 2);
  return value;
}

bool AsciiLowerEqual(std::wstring_view a, std::wstring_view b) {
  auto trim = [](std::wstring_view s) {
    while (!s.empty() && (s.front() == L' ' || s.front() == L'\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == L' ' || s.back() == L'\t')) s.remove_suffix(1);
    return s;
  };
  a = trim(a);
  b = trim(b);
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    wchar_t x = a[i], y = b[i];
    if (x >= 0x80 || y >= 0x80) return true;  // not decided here: treat as the same
    if (x >= L'A' && x <= L'Z') x += 32;
    if (y >= L'A' && y <= L'Z') y += 32;
    if (x != y) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::wstring section = platform::FromUtf8(TakeLine(input));
  const std::wstring key = platform::FromUtf8(TakeLine(input));
  const std::wstring value = platform::FromUtf8(TakeLine(input));
  const std::wstring other = platform::FromUtf8(TakeLine(input));
  const std::string_view text = input;

  platform::ini::ReadValue(text, section, key);
  const auto otherBefore = platform::ini::ReadValue(text, section, other);
  const auto written = platform::ini::WriteValue(text, section, key, value);
  if (!written) return 0;

  if (platform::ini::ReadValue(*written, section, key) != Expected(value)) std::abort();
  if (!AsciiLowerEqual(key, other) && platform::ini::ReadValue(*written, section, other) != otherBefore) std::abort();
  if (platform::ini::WriteValue(*written, section, key, value) != written) std::abort();
  return 0;
}
