#include "app/Shortcut.h"

#include "app/FormatPath.h"
#include "platform/Files.h"
#include "platform/Resources.h"
#include "platform/Shell.h"

namespace {

constexpr int kClientIconId = 273;

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L"\\/")); }

std::wstring FileNameOf(const std::wstring& path) { return path.substr(path.find_last_of(L"\\/") + 1); }

// A desktop entry cannot take its icon out of the program it starts, so the
// client's icon is written next to the uninstall icon, in the res folder that
// the uninstall removes. Empty when there is no icon to show.
std::wstring WriteTargetIcon(const std::wstring& target) {
  std::wstring path = FolderOf(target) + L"/res/" + FileNameOf(target) + L".png";
  auto icon = platform::FindResource("ICON", kClientIconId);
  if (!icon) return {};
  std::string bytes(reinterpret_cast<const char*>(icon->data), icon->size);
  std::string current;
  if (platform::ReadWholeFile(path, current) && current == bytes) return path;
  return platform::WriteWholeFile(path, bytes) ? path : std::wstring();
}

}  // namespace

bool CreateShortcut(const std::wstring& arguments, const std::wstring& target, const std::wstring& folder,
                    const std::wstring& fileName, bool withIcon) {
  platform::ShellLink link;
  link.target = target;
  if (!arguments.empty()) link.arguments.push_back(arguments);
  link.iconPath = withIcon ? FolderOf(target) + L"/res/uninstall.ico" : WriteTargetIcon(target);
  std::wstring linkPath;
  if (!FormatPath(linkPath, L"%s/%s", folder, fileName)) return false;
  return platform::SaveShellLink(link, linkPath);
}
