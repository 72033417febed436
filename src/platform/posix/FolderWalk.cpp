#include "platform/FolderWalk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <string_view>

#include "platform/Files.h"
#include "platform/Text.h"

namespace platform {

namespace {

EntryKind KindOf(int dirFd, const dirent& entry) {
  switch (entry.d_type) {
    case DT_DIR:
      return EntryKind::Folder;
    case DT_LNK:
      return EntryKind::Link;
    case DT_UNKNOWN:
      break;
    default:
      return EntryKind::File;
  }
  // Some file systems leave the type out of the listing: ask the entry itself.
  struct stat st;
  if (fstatat(dirFd, entry.d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) return EntryKind::File;
  if (S_ISDIR(st.st_mode)) return EntryKind::Folder;
  if (S_ISLNK(st.st_mode)) return EntryKind::Link;
  return EntryKind::File;
}

}  // namespace

bool ListFolderEntries(const std::wstring& folder, std::vector<FolderEntry>* entries) {
  entries->clear();
  DIR* dir = opendir(ToUtf8(folder).c_str());
  if (dir == nullptr) {
    SetLastError(errno);
    return false;
  }
  const int fd = dirfd(dir);
  while (dirent* entry = readdir(dir)) {
    std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    entries->push_back({FromUtf8(name), KindOf(fd, *entry)});
  }
  closedir(dir);
  return true;
}

}  // namespace platform
