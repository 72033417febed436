#pragma once
// The application profile of the framework (GetProfileString,
// WriteProfileString): text entries kept in the current user's registry hive,
// under Software\<registry key>\<application name>\<section>, where the
// registry key is the one the application object fixed at start-up and the
// application name is the running executable's file name without extension.
// Until a registry key is fixed, reads give their defaults and writes fail.
#include <string>

std::wstring GetProfileString(const std::wstring& section, const std::wstring& entry,
                              const std::wstring& defaultValue);
// Creates the section's key when needed. False when nothing was written.
bool WriteProfileString(const std::wstring& section, const std::wstring& entry, const std::wstring& value);
