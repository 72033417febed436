#include "app/FirstSetup.h"

#include <climits>

#include "app/InstallRecord.h"
#include "app/FileVersionText.h"
#include "app/FormatPath.h"
#include "app/Settings.h"
#include "app/Shortcut.h"
#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/Process.h"
#include "platform/Resources.h"
#include "platform/Shell.h"
#include "zip/Zip.h"

namespace {

constexpr int kDefaultFilesArchiveId = 269;
constexpr int kUnpackedMark = 1001;

// Reads leading digits the way _wtoi does: blanks, an optional sign, digits;
// anything else ends the number, and a number too large saturates.
int ParseInt(const std::wstring& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == L' ' || (text[i] >= L'\t' && text[i] <= L'\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
  long long value = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    value = value * 10 + (text[i] - L'0');
    if (value > INT_MAX) return negative ? INT_MIN : INT_MAX;
  }
  return static_cast<int>(negative ? -value : value);
}

// A fresh account may not have the data folders yet (Windows always has its
// special folders), so the folder and its missing parents are made.
void CreateFolderTree(const std::wstring& folder) {
  if (folder.empty() || platform::FileExists(folder)) return;
  std::size_t slash = folder.find_last_of(L'/');
  if (slash != std::wstring::npos && slash > 0) CreateFolderTree(folder.substr(0, slash));
  platform::CreateFolder(folder);
}

void CreateFolderIfMissing(const std::wstring& folder) {
  if (!platform::FileExists(folder)) platform::CreateFolder(folder);
}

void CreateMenuShortcuts(const std::wstring& target) {
  // Without a programs folder there is nowhere to put the shortcuts.
  std::wstring programs = platform::GetSpecialFolder(platform::SpecialFolder::Programs);
  if (programs.empty()) return;
  CreateFolderTree(programs);
  std::wstring platformMenu, menu;
  if (!FormatPath(platformMenu, L"%s/%s", programs, platform::LoadString(105))) return;
  CreateFolderIfMissing(platformMenu);
  if (!FormatPath(menu, L"%s/%s", platformMenu, platform::LoadString(102))) return;
  CreateFolderIfMissing(menu);
  CreateShortcut(L"1", target, menu, platform::LoadString(102) + platform::kLinkExtension, false);
  CreateShortcut(L"-u", target, menu, platform::LoadString(109) + platform::kLinkExtension, true);
}

}  // namespace

int VersionNumber(const std::wstring& versionText) {
  std::wstring digits;
  for (wchar_t c : versionText) {
    if (c != L'.') digits += c;
  }
  return ParseInt(digits);
}

void UnpackDefaultFiles(const std::wstring& installFolder) {
  const std::wstring res = installFolder + L"/res";
  if (ParseInt(ReadSetting(L"Setting", L"start", L"-1")) == kUnpackedMark) return;
  CreateFolderIfMissing(res);

  if (auto archive = platform::FindResource("ZIP", kDefaultFilesArchiveId)) {
    zip::ZipHandle* handle = zip::openFromMemory(archive->data, archive->size);
    zip::setBaseFolder(handle, res);
    zip::ZipEntryInfo info;
    zip::getEntry(handle, -1, &info);
    const int count = info.index;
    for (int i = 0; i < count; ++i) {
      // An entry that cannot be read is passed over rather than written under
      // the name of the entry before it.
      if (zip::getEntry(handle, i, &info) != zip::kZipOk) continue;
      // The user's settings are kept; every other default file is refreshed.
      if (info.name == L"systemset.ini" && platform::FileExists(res + L"/" + info.name)) continue;
      zip::extractEntry(handle, i, info.name);
    }
    zip::closeArchive(handle);
  }

  // Never written by this client; removed when found.
  const std::wstring staleArchive = res + L"/data.zip";
  if (platform::FileExists(staleArchive)) platform::DeleteFile(staleArchive);

  WriteSetting(L"Setting", L"start", std::to_wstring(kUnpackedMark));
}

void RunFirstSetup() {
  const std::wstring appData = platform::GetSpecialFolder(platform::SpecialFolder::AppData);
  const std::wstring running = platform::GetModulePath();

  CreateFolderTree(appData);
  std::wstring installFolder = appData + L"/" + platform::LoadString(124);
  CreateFolderIfMissing(installFolder);
  installFolder += L"/" + platform::LoadString(117);
  CreateFolderIfMissing(installFolder);

  UnpackDefaultFiles(installFolder);

  const std::wstring target = installFolder + L"/" + running.substr(running.find_last_of(L"\\/") + 1);
  CreateMenuShortcuts(target);

  const int installedVersion = VersionNumber(GetFileVersionText(target));
  const int runningVersion = VersionNumber(GetFileVersionText(running));

  const InstallRecord record = MakeInstallRecord(target);
  WriteInstalledProgramsEntry(record);
  WriteProfileCopy(record);

  if (installedVersion == 0 || installedVersion < runningVersion) {
    platform::CopyFile(running, target, false);
    if (ParseInt(ReadSetting(L"Start", L"firststart", L"0")) != 0) WriteSetting(L"Start", L"firststart", L"0");
  }
}
