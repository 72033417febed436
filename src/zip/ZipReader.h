#pragma once
// One open archive: positions minizip's reader on entries, answers entry
// queries and writes entries to disk. Serves one thread at a time.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "zip/MemoryStream.h"
#include "zip/Zip.h"

namespace zip {

class ZipReader {
 public:
  // Every extraction copies through this one buffer, allocated on first use.
  static constexpr std::size_t kCopyBufferSize = 16384;

  ZipReader();
  ~ZipReader();
  ZipReader(const ZipReader&) = delete;
  ZipReader& operator=(const ZipReader&) = delete;

  // Opens the archive in the block; a reader opens only once.
  ZipResult Open(const void* data, std::size_t size);
  ZipResult SetBaseFolder(const std::wstring& folder);
  ZipResult GetEntry(int index, ZipEntryInfo& info);
  ZipResult ExtractEntry(int index, const std::wstring& target);
  void Close();

  const std::wstring& BaseFolder() const { return baseFolder_; }

 private:
  ZipResult MoveTo(int index);
  ZipResult ReadEntry(int index, ZipEntryInfo& info);
  ZipResult WriteFile(const ZipEntryInfo& entry, const std::wstring& path);
  void CloseStream();

  void* archive_ = nullptr;  // minizip's unzFile
  MemoryStream source_;
  int entryCount_ = 0;
  int currentEntry_ = -1;  // where minizip's reader stands, -1 when unknown
  int openEntry_ = -1;     // whose data stream is open
  ZipEntryInfo cachedEntry_;
  int cachedIndex_ = -1;
  std::unique_ptr<std::uint8_t[]> copyBuffer_;
  std::wstring baseFolder_;
};

}  // namespace zip
