#include "cache/CleanFolder.h"

#include <vector>

#include "platform/Debug.h"
#include "platform/Files.h"
#include "platform/FolderWalk.h"
#include "platform/Folders.h"

namespace {

bool IsDesktopIni(const std::wstring& name) {
  static const std::wstring kName = L"desktop.ini";
  if (name.size() != kName.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    wchar_t c = name[i];
    if (c >= L'A' && c <= L'Z') c = wchar_t(c - L'A' + L'a');
    if (c != kName[i]) return false;
  }
  return true;
}

}  // namespace

bool CleanFolder(const std::wstring& folder) {
  platform::DebugOutput(L"开始清理" + folder + L"文件夹\r\n");
  std::vector<platform::FolderEntry> entries;
  if (!platform::ListFolderEntries(folder, &entries)) return false;
  for (const platform::FolderEntry& entry : entries) {
    if (IsDesktopIni(entry.name)) continue;
    // Joined with this platform's separator ('/' on Linux).
    const std::wstring path = folder + platform::kPathSeparator + entry.name;
    // A link has no read-only mark of its own: changing it would change the
    // file it points to, outside this folder.
    if (entry.kind != platform::EntryKind::Link && platform::IsReadOnly(path))
      platform::SetReadOnly(path, false);
    if (entry.kind == platform::EntryKind::Folder) {
      CleanFolder(path);
      platform::RemoveFolder(path);  // stays while it holds a kept desktop.ini
    } else if (platform::DeleteFile(path)) {
      platform::DebugOutput(L"开始清理" + entry.name + L"文件夹\r\n");
    } else {
      platform::DebugOutput(L"***********删除文件:" + entry.name + L"失败，错误代码:" +
                            std::to_wstring(platform::LastError()) + L"******************\r\n");
    }
  }
  return true;
}
