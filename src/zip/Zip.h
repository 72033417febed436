#pragma once
// The zip extraction layer: opens an archive held in memory, reports each
// entry's cleaned name, attributes, times and sizes, and writes entries below a
// base folder. Every operation answers with one of the result codes below; the
// handle-level operations also leave it in a process-wide last result.
#include <cstddef>
#include <cstdint>
#include <string>

namespace zip {

using ZipResult = std::uint32_t;
inline constexpr ZipResult kZipOk = 0;
// The archive cannot be opened, or the output file or folder cannot be made
// (also: an output path that does not fit, or that would leave the base folder).
inline constexpr ZipResult kZipOpenFailed = 0x200;
inline constexpr ZipResult kZipWriteFailed = 0x400;
// The entry's records cannot be read, or its local header does not agree with
// its central-directory record (minizip also refuses methods it does not know).
inline constexpr ZipResult kZipHeaderMismatch = 0x700;
inline constexpr ZipResult kZipExtraFieldFailed = 0x800;
// An encrypted entry: the reader has no password, so its check byte cannot match.
inline constexpr ZipResult kZipPasswordFailed = 0x1000;
inline constexpr ZipResult kZipBadArgument = 0x10000;
inline constexpr ZipResult kZipNotReader = 0x80000;
inline constexpr ZipResult kZipAlreadyOpen = 0x1000000;
// Inflating failed, the data ended early, the method is not stored or deflated,
// or the data does not match the entry's CRC-32.
inline constexpr ZipResult kZipStreamFailed = 0x5000000;

// Windows file attribute bits, as the entry record reports them.
inline constexpr std::uint32_t kAttrReadOnly = 0x1;
inline constexpr std::uint32_t kAttrHidden = 0x2;
inline constexpr std::uint32_t kAttrSystem = 0x4;
inline constexpr std::uint32_t kAttrDirectory = 0x10;
inline constexpr std::uint32_t kAttrArchive = 0x20;

// A FILETIME: 100-nanosecond intervals since 1601-01-01 UTC.
using FileTime = std::uint64_t;

// Names and output paths are limited to 260 wide characters with the final NUL.
inline constexpr std::size_t kMaxPath = 260;

struct ZipEntryInfo {
  std::int32_t index = 0;  // for the query with index -1: the number of entries
  std::wstring name;       // cleaned, at most kMaxPath - 1 characters
  std::uint32_t attributes = 0;
  FileTime accessTime = 0;
  FileTime creationTime = 0;
  FileTime modificationTime = 0;
  std::uint32_t compressedSize = 0;    // as stored in the central directory
  std::uint32_t uncompressedSize = 0;  // as stored in the central directory
};

class ZipReader;

// What openFromMemory hands out; any kind but kZipHandleReader is refused.
inline constexpr std::int32_t kZipHandleReader = 1;
struct ZipHandle {
  std::int32_t kind = kZipHandleReader;
  ZipReader* reader = nullptr;
};

// Opens the archive in the block [data, data + size), read in place: the block
// must stay valid until closeArchive. Null on failure (see lastResult()).
ZipHandle* openFromMemory(const void* data, std::size_t size);
// Relative targets are written below folder (a separator is appended when it
// lacks one). The default is the current directory at open.
ZipResult setBaseFolder(ZipHandle* handle, const std::wstring& folder);
// Index -1 asks for the number of entries (in info.index).
ZipResult getEntry(ZipHandle* handle, int index, ZipEntryInfo* info);
// Writes entry index to target, normally the entry's cleaned name; a relative
// target is placed below the base folder, and no target may lead out of it.
ZipResult extractEntry(ZipHandle* handle, int index, const std::wstring& target);
// Closes the archive and frees the reader and the handle.
ZipResult closeArchive(ZipHandle* handle);
// The code of the latest handle-level operation in the process.
ZipResult lastResult();

}  // namespace zip
