#include "platform/FileWriter.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <climits>

#include "platform/Text.h"

namespace platform {
namespace {

constexpr std::int64_t kEpochDifferenceSeconds = 11644473600;  // 1601 to 1970

timespec ToTimespec(std::uint64_t fileTime) {
  timespec ts{};
  ts.tv_sec = static_cast<time_t>(static_cast<std::int64_t>(fileTime / 10000000) - kEpochDifferenceSeconds);
  ts.tv_nsec = static_cast<long>(fileTime % 10000000) * 100;
  return ts;
}

std::string FolderOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

FileWriter::~FileWriter() { Discard(); }

void FileWriter::Discard() {
  if (fd_ >= 0) {
    close(fd_);
    fd_ = -1;
  }
  if (!tempPath_.empty()) {
    unlink(tempPath_.c_str());
    tempPath_.clear();
  }
}

bool FileWriter::Create(const std::wstring& path, bool readOnly) {
  Discard();
  targetPath_ = ToUtf8(path);
  struct stat existing{};
  if (lstat(targetPath_.c_str(), &existing) == 0) {
    if (S_ISDIR(existing.st_mode)) {
      errno = EISDIR;
      return false;
    }
    if (S_ISREG(existing.st_mode) && (existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
      errno = EACCES;
      return false;
    }
  }
  // The content goes into a short hidden sibling, so that the name fits even
  // when the target's own name is as long as a name may be.
  static std::atomic<unsigned> counter{0};
  const std::string folder = FolderOf(targetPath_);
  const mode_t mode = readOnly ? 0444 : 0666;
  for (int attempt = 0; attempt < 100; ++attempt) {
    char name[64];
    std::snprintf(name, sizeof name, ".zx%ld.%u", static_cast<long>(getpid()), counter.fetch_add(1));
    std::string temp = folder + name;
    fd_ = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
    if (fd_ >= 0) {
      tempPath_ = std::move(temp);
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

bool FileWriter::Write(const void* data, std::size_t size) {
  if (fd_ < 0) return false;
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t written = write(fd_, bytes, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

bool FileWriter::Commit(std::uint64_t accessTime, std::uint64_t modificationTime) {
  if (fd_ < 0) return false;
  const timespec times[2] = {ToTimespec(accessTime), ToTimespec(modificationTime)};
  futimens(fd_, times);  // as with SetFileTime, a file system that keeps no such times is no failure
  const int closed = close(fd_);
  fd_ = -1;
  if (closed != 0 || rename(tempPath_.c_str(), targetPath_.c_str()) != 0) {
    Discard();
    return false;
  }
  tempPath_.clear();
  return true;
}

std::wstring CurrentFolder() {
  char buffer[PATH_MAX];
  if (getcwd(buffer, sizeof buffer) == nullptr) return {};
  return FromUtf8(buffer);
}

}  // namespace platform
