#include "platform/posix/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <random>

namespace platform::posix {
namespace {

std::string FolderOf(const std::string& path) {
  auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
  auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Opens a fresh temporary file beside path; the name is returned in tmp.
int OpenTemporary(const std::string& path, mode_t mode, std::string& tmp) {
  static std::atomic<unsigned> counter{0};
  thread_local std::mt19937 random{std::random_device{}()};
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".%d.%u.%08x.tmp", static_cast<int>(getpid()), counter++,
                  static_cast<unsigned>(random()));
    tmp = FolderOf(path) + "/." + BaseOf(path) + suffix;
    int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool CopyAll(int from, int to) {
  char buffer[65536];
  for (;;) {
    ssize_t n = read(from, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return true;
    if (!WriteAll(to, buffer, static_cast<std::size_t>(n))) return false;
  }
}

bool Commit(const std::string& tmp, const std::string& path, bool noReplace) {
  if (!noReplace) return rename(tmp.c_str(), path.c_str()) == 0;
  if (renameat2(AT_FDCWD, tmp.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // File systems without RENAME_NOREPLACE: a hard link fails on an existing name.
  if (link(tmp.c_str(), path.c_str()) != 0) return false;
  unlink(tmp.c_str());
  return true;
}

template <typename Fill>
bool Replace(const std::string& path, mode_t mode, bool noReplace, Fill fill) {
  std::string tmp;
  int fd = OpenTemporary(path, mode, tmp);
  if (fd < 0) return false;
  bool ok = fill(fd) && fchmod(fd, mode) == 0 && fsync(fd) == 0;
  int saved = errno;
  if (close(fd) != 0 && ok) {
    ok = false;
    saved = errno;
  }
  if (ok && Commit(tmp, path, noReplace)) return true;
  if (ok) saved = errno;
  unlink(tmp.c_str());
  errno = saved;
  return false;
}

}  // namespace

bool ReplaceFile(const std::string& path, std::string_view bytes, mode_t mode, bool noReplace) {
  return Replace(path, mode, noReplace, [&](int fd) { return WriteAll(fd, bytes.data(), bytes.size()); });
}

bool ReplaceFileFromDescriptor(const std::string& path, int sourceFd, mode_t mode, bool noReplace) {
  struct stat source;
  if (fstat(sourceFd, &source) != 0) return false;
  return Replace(path, mode, noReplace, [&](int fd) {
    if (!CopyAll(sourceFd, fd)) return false;
    const timespec times[2] = {source.st_atim, source.st_mtim};
    return futimens(fd, times) == 0;
  });
}

int CheckReplaceable(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return errno == ENOENT ? 0 : errno;
  if (S_ISDIR(st.st_mode)) return EISDIR;
  if ((st.st_mode & 0222) == 0) return EACCES;
  // A running executable cannot be opened for writing (as a locked file cannot
  // be on Windows). Replacing it by rename would succeed, so ask first.
  int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return errno == ENXIO ? 0 : errno;
  close(fd);
  return 0;
}

mode_t DefaultFileMode() {
  // umask cannot be read without setting it; /proc tells it without a race.
  FILE* f = std::fopen("/proc/self/status", "re");
  mode_t mask = 022;
  if (f != nullptr) {
    char line[256];
    while (std::fgets(line, sizeof line, f) != nullptr) {
      unsigned value;
      if (std::sscanf(line, "Umask: %o", &value) == 1) {
        mask = static_cast<mode_t>(value);
        break;
      }
    }
    std::fclose(f);
  }
  return 0666 & ~mask;
}

}  // namespace platform::posix
