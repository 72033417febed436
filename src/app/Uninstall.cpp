#include "app/Uninstall.h"

#include "app/FormatPath.h"
#include "app/IsFolderEmpty.h"
#include "gamewnd/CustomMessageBox.h"
#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/Process.h"
#include "platform/Resources.h"
#include "platform/Shell.h"
#include "ui/Messages.h"

namespace {

// The copy is started right before the first stage ends; until then the
// installed file may still be held, so its deletion is retried for a short,
// bounded time instead of being skipped.
constexpr int kDeleteAttempts = 20;
constexpr int kDeleteRetryDelayMs = 100;

void DeleteInstalledExecutable(const std::wstring& path) {
  for (int attempt = 1; platform::FileExists(path); ++attempt) {
    if (platform::DeleteFile(path) || attempt == kDeleteAttempts) return;
    platform::SleepMilliseconds(kDeleteRetryDelayMs);
  }
}

std::wstring FormatOrEmpty(const wchar_t* format, const std::wstring& a, const std::wstring& b,
                           const std::wstring& c, const std::wstring& d) {
  std::wstring out;
  if (!FormatPath(out, format, a, b, c, d)) out.clear();
  return out;
}

}  // namespace

bool DeleteToRecycleBin(const std::wstring& path) { return !path.empty() && platform::MoveToTrash(path); }

void NotifyShellRemoved(const std::wstring& path) {
  platform::NotifyShellChange(platform::ShellChange::ItemRemoved, path);
  platform::NotifyShellChange(platform::ShellChange::FolderUpdated, path.substr(0, path.find_last_of(L'/')));
}

bool DeleteAndNotify(const std::wstring& path) {
  if (!DeleteToRecycleBin(path)) return false;
  NotifyShellRemoved(path);
  return true;
}

void RunUninstallConfirm() {
  CCustomMessageBox box;
  box.SetMsg(L"卸载", L"您是否确认卸载《" + platform::LoadString(102) + L"》？");
  if (box.DoModal() == ui::IDCANCEL) return;

  const std::wstring running = platform::GetModulePath();
  const std::wstring appData = platform::GetSpecialFolder(platform::SpecialFolder::AppData);
  const std::wstring cache = appData + L"/cache";
  if (!platform::FileExists(cache)) platform::CreateFolder(cache);
  const std::wstring copy = appData + platform::LoadString(120);
  platform::CopyFile(running, copy, false);
  platform::StartProcess(copy, L"-u " + running);
}

void RunUninstallCleanup(const std::wstring& commandLine) {
  const std::wstring title = platform::LoadString(102);
  const std::wstring uninstallName = platform::LoadString(109);
  const std::wstring platformMenu = platform::LoadString(105);
  const std::wstring publisher = platform::LoadString(125);
  const std::wstring ext = platform::kLinkExtension;

  // A folder that cannot be determined gives no paths: nothing below the file
  // system's root is ever touched in its place.
  const std::wstring desktop = platform::GetSpecialFolder(platform::SpecialFolder::Desktop);
  if (!desktop.empty()) DeleteAndNotify(FormatOrEmpty(L"%s/%s《%s》%s", desktop, publisher, title, ext));

  const std::wstring programs = platform::GetSpecialFolder(platform::SpecialFolder::Programs);
  if (!programs.empty()) {
    DeleteAndNotify(FormatOrEmpty(L"%s/%s/%s/%s", programs, platformMenu, title, uninstallName + ext));
    DeleteAndNotify(FormatOrEmpty(L"%s/%s/%s/%s", programs, platformMenu, title, title + ext));
  }

  // "-u", one separator, then the installed executable to the end of the line.
  // The first stage always passes a full path; anything else (a bare name
  // that would be looked up in the current folder, or a file at the root)
  // names nothing to remove.
  const std::wstring installed = commandLine.size() > 3 ? commandLine.substr(3) : std::wstring();
  const std::size_t slash = installed.find_last_of(L'/');
  if (!installed.empty() && installed[0] == L'/' && slash > 0) {
    DeleteInstalledExecutable(installed);
    DeleteAndNotify(installed.substr(0, slash) + L"/res");
  }

  if (!programs.empty()) {
    std::wstring menu = programs + L"/" + platformMenu + L"/" + title;
    if (IsFolderEmpty(menu)) DeleteAndNotify(menu);
    std::wstring platformFolder = programs + L"/" + platformMenu;
    if (IsFolderEmpty(platformFolder)) DeleteAndNotify(platformFolder);
  }
}
