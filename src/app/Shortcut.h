#pragma once
#include <string>

// Writes folder + "/" + fileName as a shortcut to target with the given
// argument text (empty: none). With icon, the shortcut shows the uninstall
// icon from the target's res folder; otherwise the target's own icon. True
// when the shortcut file was saved; an existing one is replaced.
bool CreateShortcut(const std::wstring& arguments, const std::wstring& target, const std::wstring& folder,
                    const std::wstring& fileName, bool withIcon);
