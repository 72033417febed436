#include "platform/Profile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/Files.h"
#include "platform/IniText.h"
#include "platform/Text.h"
#include "platform/posix/AtomicFile.h"

namespace platform {
namespace {

std::string FolderOf(const std::string& path) {
  auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Holds an exclusive advisory lock on the folder of the settings file for the
// whole read-modify-write, so that writers of different keys do not undo each
// other. The folder, not a lock file, is locked: the file itself is replaced
// by rename (a lock on it would stay with the old file), and a lock file would
// be left behind in the folder.
class FolderLock {
 public:
  explicit FolderLock(const std::string& folder)
      : fd_(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (fd_ < 0) return;
    while (flock(fd_, LOCK_EX) != 0) {
      if (errno != EINTR) {
        int code = errno;
        close(fd_);
        fd_ = -1;
        errno = code;
        return;
      }
    }
  }
  ~FolderLock() {
    if (fd_ >= 0) close(fd_);
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  bool Held() const { return fd_ >= 0; }

 private:
  int fd_;
};

}  // namespace

std::wstring GetPrivateProfileString(const std::wstring& section, const std::wstring& key,
                                     const std::wstring& defaultValue, const std::wstring& path,
                                     std::size_t maxChars) {
  std::wstring value = defaultValue;
  std::string text;
  // A file that cannot be read reads as defaults, like a missing one.
  if (ReadWholeFile(path, text)) {
    if (auto found = ini::ReadValue(text, section, key)) value = std::move(*found);
  }
  const std::size_t limit = maxChars == 0 ? 0 : maxChars - 1;
  if (value.size() > limit) value.resize(limit);
  return value;
}

bool WritePrivateProfileString(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                               const std::wstring& path) {
  const std::string file = ToUtf8(path);
  FolderLock lock(FolderOf(file));
  if (!lock.Held()) {
    SetLastError(errno);
    return false;
  }
  if (int refused = posix::CheckReplaceable(file)) {
    SetLastError(refused);
    return false;
  }
  std::string text;
  mode_t mode = posix::DefaultFileMode();
  struct stat st;
  if (stat(file.c_str(), &st) == 0) {
    // An existing file that cannot be read is left alone rather than replaced
    // by one holding only this key.
    if (!ReadWholeFile(path, text)) return false;
    mode = st.st_mode & 07777;
  }
  auto updated = ini::WriteValue(text, section, key, value);
  if (!updated) {
    SetLastError(EINVAL);
    return false;
  }
  if (!posix::ReplaceFile(file, *updated, mode)) {
    SetLastError(errno);
    return false;
  }
  return true;
}

}  // namespace platform
