#pragma once
// The settings file systemset.ini in the install folder's res folder (string
// 197 after GetInstallDir). Nothing is kept in memory: every call goes to the
// file.
#include <string>

// The value of [section] key, or defaultValue when the file, the section or the
// key is missing; at most 259 characters (the 260-character buffer of the
// Windows call).
std::wstring ReadSetting(const std::wstring& section, const std::wstring& key, const std::wstring& defaultValue);

// Sets [section] key = value, creating the section, the key or the file (when
// the res folder exists). Failures are silent.
void WriteSetting(const std::wstring& section, const std::wstring& key, const std::wstring& value);
