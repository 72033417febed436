#pragma once
// Deletes the contents of a cache folder.
#include <string>

// Deletes everything inside folder (a path without a trailing separator),
// recursing into subfolders, except files named "desktop.ini" in any letter
// case, which stay with the folders that hold them. Read-only entries are made
// writable first. Symbolic links are removed, never followed. Whatever cannot
// be deleted stays; the folder itself is never removed. False when folder
// cannot be listed, true otherwise.
bool CleanFolder(const std::wstring& folder);
