#include "update/RunUpdateCheck.h"

#include "app/FileVersionText.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "platform/Resources.h"
#include "update/ClientUpdater.h"
#include "update/UpdateLog.h"

void RunUpdateCheck() { RunUpdateCheck(platform::LoadString(191), platform::LoadString(192)); }

void RunUpdateCheck(const std::wstring& server, const std::wstring& pathAndQuery) {
  std::wstring log = UpdateLogPath();
  if (platform::FileExists(log) && platform::FileSize(log) > kUpdateLogCapBytes) platform::DeleteFile(log);

  // Strings 118 and 119 carry '/' separators in this build.
  std::wstring installSubdir = platform::LoadString(119) + platform::LoadString(117) + L"/";
  ClientUpdater updater(platform::LoadString(118), installSubdir);

  std::wstring version = GetFileVersionText(platform::GetModulePath());
  WriteUpdateLog(server + L"/" + pathAndQuery + version);
  if (updater.CheckVersion(server, pathAndQuery, version)) updater.DownloadAndRun(updater.m_strDownloadUrl);
}
