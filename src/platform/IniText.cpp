#include "platform/IniText.h"

#include <vector>

#include "platform/Text.h"

namespace platform::ini {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::wstring_view Trim(std::wstring_view s) {
  while (!s.empty() && (s.front() == L' ' || s.front() == L'\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == L' ' || s.back() == L'\t')) s.remove_suffix(1);
  return s;
}

// Names match without regard to case, as the system's profile functions do.
// Kept free of the C library's locale: ASCII plus the letters of the Latin-1,
// Latin Extended-A, Greek and Cyrillic blocks and the full-width Latin letters.
wchar_t Fold(wchar_t c) {
  auto shift = [&](int by) { return static_cast<wchar_t>(c + by); };
  if (c >= L'A' && c <= L'Z') return shift(32);
  if (c < 0xC0) return c;
  if (c <= 0xDE) return c == 0xD7 ? c : shift(32);
  if (c >= 0x100 && c <= 0x17F) {
    if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
    const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (c == 0x178) return 0xFF;
    if (oddUpper) return (c & 1) ? shift(1) : c;
    return (c & 1) ? c : shift(1);
  }
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return shift(32);
  if (c >= 0x400 && c <= 0x40F) return shift(80);
  if (c >= 0x410 && c <= 0x42F) return shift(32);
  if (c >= 0xFF21 && c <= 0xFF3A) return shift(32);
  return c;
}

bool SameName(std::string_view stored, std::wstring_view wanted) {
  std::wstring name = FromUtf8(stored);
  if (name.size() != wanted.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i)
    if (Fold(name[i]) != Fold(wanted[i])) return false;
  return true;
}

enum class Kind { Other, Section, Key };

struct Line {
  std::string_view text;  // without its line end
  Kind kind = Kind::Other;
  std::string_view name;   // section or key name, trimmed
  std::string_view value;  // key value, trimmed
};

Line Classify(std::string_view text) {
  Line line{text};
  std::string_view body = Trim(text);
  if (body.empty() || body.front() == ';') return line;
  if (body.front() == '[') {
    body.remove_prefix(1);
    line.kind = Kind::Section;
    line.name = Trim(body.substr(0, body.find(']')));
    return line;
  }
  auto eq = body.find('=');
  if (eq == std::string_view::npos) return line;
  line.kind = Kind::Key;
  line.name = Trim(body.substr(0, eq));
  line.value = Trim(body.substr(eq + 1));
  return line;
}

struct Parsed {
  std::string_view bom;
  std::vector<Line> lines;
};

Parsed Parse(std::string_view text) {
  Parsed parsed;
  if (text.starts_with(kBom)) {
    parsed.bom = text.substr(0, kBom.size());
    text.remove_prefix(kBom.size());
  }
  while (!text.empty()) {
    auto end = text.find_first_of("\r\n");
    if (end == std::string_view::npos) {
      parsed.lines.push_back(Classify(text));
      break;
    }
    parsed.lines.push_back(Classify(text.substr(0, end)));
    std::size_t skip = (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1;
    text.remove_prefix(end + skip);
  }
  return parsed;
}

// Index of the first section named section, or lines.size().
std::size_t FindSection(const std::vector<Line>& lines, std::wstring_view section) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].kind == Kind::Section && SameName(lines[i].name, section)) return i;
  return lines.size();
}

std::wstring_view StripQuotes(std::wstring_view value) {
  if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

bool HasLineBreak(std::wstring_view s) { return s.find_first_of(L"\r\n") != std::wstring_view::npos; }

}  // namespace

std::optional<std::wstring> ReadValue(std::string_view text, std::wstring_view section, std::wstring_view key) {
  section = Trim(section);
  key = Trim(key);
  const Parsed parsed = Parse(text);
  const auto& lines = parsed.lines;
  for (std::size_t i = FindSection(lines, section) + 1; i < lines.size(); ++i) {
    if (lines[i].kind == Kind::Section) break;
    if (lines[i].kind == Kind::Key && SameName(lines[i].name, key))
      return std::wstring(StripQuotes(FromUtf8(lines[i].value)));
  }
  return std::nullopt;
}

std::optional<std::string> WriteValue(std::string_view text, std::wstring_view section, std::wstring_view key,
                                      std::wstring_view value) {
  section = Trim(section);
  key = Trim(key);
  if (section.empty() || key.empty() || HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value) ||
      section.find(L']') != std::wstring_view::npos || key.find(L'=') != std::wstring_view::npos ||
      key.front() == L';' || key.front() == L'[')
    return std::nullopt;

  const Parsed parsed = Parse(text);
  const auto& lines = parsed.lines;
  const std::string keyLine = ToUtf8(key) + "=" + ToUtf8(value);

  // Where the new line goes (inserted before index at), or which line it replaces.
  std::size_t at = lines.size();
  bool replace = false;
  bool addSection = true;
  const std::size_t header = FindSection(lines, section);
  if (header < lines.size()) {
    addSection = false;
    at = header + 1;
    for (std::size_t i = header + 1; i < lines.size() && lines[i].kind != Kind::Section; ++i) {
      if (lines[i].kind != Kind::Key) continue;
      if (SameName(lines[i].name, key)) {
        at = i;
        replace = true;
        break;
      }
      at = i + 1;
    }
  }

  std::string out(parsed.bom);
  out.reserve(text.size() + keyLine.size() + section.size() + 8);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i == at) {
      out += keyLine;
      out += "\r\n";
      if (replace) continue;
    }
    out += lines[i].text;
    out += "\r\n";
  }
  if (at == lines.size()) {
    if (addSection) {
      out += "[" + ToUtf8(section) + "]\r\n";
    }
    out += keyLine;
    out += "\r\n";
  }
  return out;
}

}  // namespace platform::ini
