#pragma once
// The client removes itself in two processes. The first stage (command line
// ending in "-u") asks, then copies the executable into the cache folder and
// starts that copy with "-u <installed executable>". The second stage, in the
// copy, moves the shortcuts and the res folder to the trash, deletes the
// installed executable and removes the menu folders when they are empty. The
// installed-programs record and its profile copy, the install folder itself
// and the cache folder stay.
#include <string>

void RunUninstallConfirm();
void RunUninstallCleanup(const std::wstring& commandLine);

// Moves one file, or a folder with its contents, to the trash. True on success.
bool DeleteToRecycleBin(const std::wstring& path);
// Tells the desktop that path went away and that its parent folder changed.
void NotifyShellRemoved(const std::wstring& path);
// DeleteToRecycleBin, then NotifyShellRemoved when it succeeded.
bool DeleteAndNotify(const std::wstring& path);
