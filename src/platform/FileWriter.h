#pragma once
// Writing one file the way the archive reader needs it: the new content is
// written beside the target and only put in its place once it is complete, so a
// failed extraction never leaves a half-written file or loses the earlier one.
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// Times are FILETIME values: 100-nanosecond intervals since 1601-01-01 UTC.
class FileWriter {
 public:
  FileWriter() = default;
  FileWriter(const FileWriter&) = delete;
  FileWriter& operator=(const FileWriter&) = delete;
  // Drops the content of a file that was not committed.
  ~FileWriter();

  // Starts a file that will replace path (CreateFileW with CREATE_ALWAYS).
  // Refused, as on Windows and even to root, when path is an existing folder or
  // an existing read-only file (no write bits). readOnly gives the new file no
  // write bits.
  bool Create(const std::wstring& path, bool readOnly);
  bool Write(const void* data, std::size_t size);
  // Sets the access and modification times (Linux keeps no creation time) and
  // puts the file in place of the target.
  bool Commit(std::uint64_t accessTime, std::uint64_t modificationTime);

 private:
  void Discard();
  int fd_ = -1;
  std::string tempPath_;
  std::string targetPath_;
};

// The process's current directory (GetCurrentDirectoryW); empty when unknown.
std::wstring CurrentFolder();

}  // namespace platform
