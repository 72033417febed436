#pragma once
// Private profile strings (Get/WritePrivateProfileStringW) over our own INI
// engine with the Windows semantics; see IniText.h for the rules.
#include <string>

namespace platform {

// Value of [section] key in the file, or defaultValue when the file, section or
// key is missing. At most maxChars - 1 characters are returned (the caller's
// buffer size in the Windows call).
std::wstring GetPrivateProfileString(const std::wstring& section, const std::wstring& key,
                                     const std::wstring& defaultValue, const std::wstring& path,
                                     std::size_t maxChars = 260);
// Sets [section] key = value, keeping every other line. Creates the section, the
// key or the file (only when its folder exists). The file is replaced atomically
// under an advisory lock. False on failure.
bool WritePrivateProfileString(const std::wstring& section, const std::wstring& key,
                               const std::wstring& value, const std::wstring& path);

}  // namespace platform
