#include "app/FinishUpdate.h"

#include <exception>
#include <system_error>

#include "app/FileVersionText.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "update/FileDigest.h"
#include "update/UpdateLog.h"

namespace {

// The old client starts this copy and then exits. While it is still running its
// executable cannot be replaced (the copy reports "text file busy"): give it a
// short, bounded time before calling the copy failed. Other failures are final.
constexpr int kCopyAttempts = 30;
constexpr int kCopyRetryDelayMs = 100;

bool CopyOverInstalled(const std::wstring& running, const std::wstring& target) {
  const int busy = static_cast<int>(std::errc::text_file_busy);
  for (int attempt = 1;; ++attempt) {
    if (platform::CopyFile(running, target, false)) return true;
    if (attempt == kCopyAttempts || platform::LastError() != busy) return false;
    platform::SleepMilliseconds(kCopyRetryDelayMs);
  }
}

// True once the installed executable has been replaced and logged.
bool ReplaceInstalled(const std::wstring& target) {
  if (!CopyOverInstalled(platform::GetModulePath(), target)) {
    WriteUpdateLog(L"Update failure.Error Code:" + std::to_wstring(platform::LastError()));
    WriteUpdateLog(kUpdateLogSeparator);
    return false;
  }
  std::wstring digest;
  FileMd5Hex(target, digest);
  WriteUpdateLog(L"Finish download,current file md5=" + digest);
  WriteUpdateLog(L"Update success.Current Version:" + GetFileVersionText(target));
  WriteUpdateLog(kUpdateLogSeparator);
  return true;
}

}  // namespace

void FinishUpdate(const std::wstring& commandLine) {
  // "-d", one separating character, then the target path as it is (unquoted,
  // blanks included).
  constexpr std::size_t kTargetStart = 3;
  if (commandLine.size() < kTargetStart) return;
  const std::wstring target = commandLine.substr(kTargetStart);
  bool replaced = false;
  try {
    replaced = ReplaceInstalled(target);
  } catch (const std::exception& error) {
    WriteUpdateLogError(L"Try Commond -d Exception", error);
  }
  if (!replaced) return;
  // Started without arguments: an ordinary client.
  platform::StartProcess(target, std::wstring());
  platform::ExitProcessNow(0);
}
