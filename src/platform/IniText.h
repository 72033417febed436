#pragma once
// The INI engine behind the profile port, with the rules of the Windows
// profile-string functions, over the file's UTF-8 text:
// - "[name]" opens a section (blanks around the name ignored, a missing "]"
//   tolerated); lines before the first section belong to none;
// - "key=value" is a key; a line without "=" is not; blanks around key and
//   value are ignored; one pair of matching surrounding quotes ("..." or
//   '...') is stripped from a value read; "key=" is a present, empty value;
// - a line whose first non-blank character is ";" is a comment;
// - section and key names match without regard to case; the first matching
//   section, and in it the first matching key, win;
// - lines end in CRLF, LF or CR; a UTF-8 byte order mark at the start is ignored.
// A write changes only the line of its key (or adds one) and keeps every other
// line byte for byte; the text it returns ends every line in CRLF.
#include <optional>
#include <string>
#include <string_view>

namespace platform::ini {

// The value of key in section, nullopt when the section or key is missing.
std::optional<std::wstring> ReadValue(std::string_view text, std::wstring_view section, std::wstring_view key);

// The text with section's key set to value: the key's line is rewritten, or a
// key line is added after the section's last key, or the section is added at
// the end. nullopt when the names or the value cannot be stored so that they
// read back the same: an empty name, a line break anywhere, "=" in the key or
// a key that would read as a comment or section, "]" in the section name.
std::optional<std::string> WriteValue(std::string_view text, std::wstring_view section, std::wstring_view key,
                                      std::wstring_view value);

}  // namespace platform::ini
