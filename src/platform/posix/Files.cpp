#include "platform/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/Text.h"
#include "platform/posix/AtomicFile.h"

namespace platform {
namespace {

thread_local int t_lastError = 0;

// Records errno as the last error and returns false, for one-line failures.
bool Fail(int code) {
  t_lastError = code;
  return false;
}

bool FailErrno() { return Fail(errno); }

}  // namespace

int LastError() { return t_lastError; }
void SetLastError(int code) { t_lastError = code; }

bool FileExists(const std::wstring& path) {
  struct stat st;
  if (stat(ToUtf8(path).c_str(), &st) == 0) return true;
  return FailErrno();
}

bool IsFolder(const std::wstring& path) {
  struct stat st;
  if (stat(ToUtf8(path).c_str(), &st) != 0) return FailErrno();
  return S_ISDIR(st.st_mode);
}

bool CreateFolder(const std::wstring& path) {
  return mkdir(ToUtf8(path).c_str(), 0777) == 0 || FailErrno();
}

bool RemoveFolder(const std::wstring& path) { return rmdir(ToUtf8(path).c_str()) == 0 || FailErrno(); }

bool CopyFile(const std::wstring& from, const std::wstring& to, bool failIfExists) {
  const std::string target = ToUtf8(to);
  int source = open(ToUtf8(from).c_str(), O_RDONLY | O_CLOEXEC);
  if (source < 0) return FailErrno();
  struct stat st;
  bool ok = fstat(source, &st) == 0 || FailErrno();
  if (ok && S_ISDIR(st.st_mode)) ok = Fail(EISDIR);
  if (ok && failIfExists && access(target.c_str(), F_OK) == 0) ok = Fail(EEXIST);
  if (ok) {
    if (int refused = posix::CheckReplaceable(target)) ok = Fail(refused);
  }
  if (ok && !posix::ReplaceFileFromDescriptor(target, source, st.st_mode & 07777, failIfExists)) ok = FailErrno();
  close(source);
  return ok;
}

bool DeleteFile(const std::wstring& path) {
  const std::string p = ToUtf8(path);
  struct stat st;
  if (lstat(p.c_str(), &st) != 0) return FailErrno();
  if (S_ISDIR(st.st_mode)) return Fail(EISDIR);
  if (!S_ISLNK(st.st_mode) && (st.st_mode & 0222) == 0) return Fail(EACCES);
  return unlink(p.c_str()) == 0 || FailErrno();
}

std::vector<std::wstring> ListFolder(const std::wstring& folder, bool* ok) {
  std::vector<std::wstring> names;
  DIR* dir = opendir(ToUtf8(folder).c_str());
  if (ok != nullptr) *ok = dir != nullptr;
  if (dir == nullptr) {
    FailErrno();
    return names;
  }
  while (dirent* entry = readdir(dir)) {
    std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.push_back(FromUtf8(name));
  }
  closedir(dir);
  return names;
}

bool IsReadOnly(const std::wstring& path) {
  struct stat st;
  if (stat(ToUtf8(path).c_str(), &st) != 0) return FailErrno();
  return (st.st_mode & 0222) == 0;
}

bool SetReadOnly(const std::wstring& path, bool readOnly) {
  const std::string p = ToUtf8(path);
  struct stat st;
  if (stat(p.c_str(), &st) != 0) return FailErrno();
  mode_t mode = st.st_mode & 07777;
  mode = readOnly ? (mode & ~mode_t{0222}) : (mode | S_IWUSR);
  return chmod(p.c_str(), mode) == 0 || FailErrno();
}

bool SetExecutable(const std::wstring& path) {
  const std::string p = ToUtf8(path);
  struct stat st;
  if (stat(p.c_str(), &st) != 0) return FailErrno();
  // Execute where read is allowed, as chmod +x does for a readable file.
  mode_t mode = (st.st_mode & 07777) | ((st.st_mode & 0444) >> 2) | S_IXUSR;
  return chmod(p.c_str(), mode) == 0 || FailErrno();
}

bool ReadWholeFile(const std::wstring& path, std::string& bytes) {
  bytes.clear();
  int fd = open(ToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return FailErrno();
  char buffer[65536];
  for (;;) {
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      int code = errno;
      close(fd);
      bytes.clear();
      return Fail(code);
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  close(fd);
  return true;
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes) {
  const std::string p = ToUtf8(path);
  if (int refused = posix::CheckReplaceable(p)) return Fail(refused);
  struct stat st;
  const mode_t mode = stat(p.c_str(), &st) == 0 ? (st.st_mode & 07777) : posix::DefaultFileMode();
  return posix::ReplaceFile(p, bytes, mode) || FailErrno();
}

std::int64_t FileSize(const std::wstring& path) {
  struct stat st;
  if (stat(ToUtf8(path).c_str(), &st) != 0) {
    FailErrno();
    return -1;
  }
  return static_cast<std::int64_t>(st.st_size);
}

}  // namespace platform
