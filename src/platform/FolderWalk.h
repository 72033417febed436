#pragma once
// Listing a folder with each entry's kind, as FindFirstFileW/FindNextFileW
// report it, for walks that delete what they find.
#include <string>
#include <vector>

namespace platform {

enum class EntryKind {
  File,
  Folder,
  // A symbolic link, whatever it points to (or a dangling one). A walk
  // treats it as a name of its own: following it would reach outside the
  // folder being walked.
  Link,
};

struct FolderEntry {
  std::wstring name;
  EntryKind kind = EntryKind::File;
};

// Every entry of folder except "." and "..", in the system's order. False when
// the folder cannot be listed (missing, not a folder, no access, path too
// long); entries is then empty and LastError() holds the reason.
bool ListFolderEntries(const std::wstring& folder, std::vector<FolderEntry>* entries);

}  // namespace platform
