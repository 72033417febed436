#pragma once
// The shell port: shortcuts (shell links), the recycle bin and change
// notification. On Linux a shortcut is a freedesktop desktop entry, so the
// application menu shows it, and the recycle bin is the freedesktop Trash.
#include <string>
#include <vector>

namespace platform {

// Shortcut files carry this ending (".lnk" on Windows).
inline constexpr wchar_t kLinkExtension[] = L".desktop";

struct ShellLink {
  std::wstring target;                  // the program the shortcut starts (absolute path)
  std::vector<std::wstring> arguments;  // given to it after its path
  std::wstring description;             // empty: none
  std::wstring iconPath;                // empty: the desktop's default icon
};

// Saves the shortcut at linkPath, replacing any file of that name atomically.
// The shortcut is shown under its file name without kLinkExtension, as the
// shell shows a link. False when the file could not be written.
bool SaveShellLink(const ShellLink& link, const std::wstring& linkPath);

// The text of a desktop entry for the shortcut (what SaveShellLink writes).
std::string DesktopEntryText(const ShellLink& link, const std::wstring& name);

// Moves one file, or a folder with everything in it, to the user's trash,
// from where it can be restored. False when nothing was moved (a missing path,
// or a file system without a trash).
bool MoveToTrash(const std::wstring& path);

enum class ShellChange {
  ItemRemoved,    // SHCNE_RMDIR: a file or folder went away
  FolderUpdated,  // SHCNE_UPDATEDIR: a folder's contents changed
};
// Tells the desktop about a change. Linux menus and file managers watch their
// folders themselves, so this only leaves a debug line.
void NotifyShellChange(ShellChange change, const std::wstring& path);

}  // namespace platform
