#pragma once
// The record that describes the installation, kept in the installed-programs
// list of the machine and, as a copy, in the application profile.
#include <string>

struct InstallRecord {
  std::wstring Path;             // the installed executable
  std::wstring DisplayName;      // string 102, the game's title
  std::wstring Publisher;        // string 125
  std::wstring UninstallString;  // the installed executable followed by " -u"
};

InstallRecord MakeInstallRecord(const std::wstring& target);

// The installed-programs key, below the machine hive.
inline constexpr wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zorv";
// The section of the profile copy.
inline constexpr wchar_t kProfileSection[] = L"Zorv";

// Writes the record into the installed-programs list only when its key is new:
// an existing entry is left as it is. Without the right to write there
// (machine-wide, like administrator rights) nothing happens.
void WriteInstalledProgramsEntry(const InstallRecord& record);

// Rewrites the profile copy whenever its Path differs from the record's.
void WriteProfileCopy(const InstallRecord& record);
