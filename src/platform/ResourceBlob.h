#pragma once
// Layout of the resource blob that the build packs and links into the
// executable, and of the version block inside it. Shared by the client (which
// reads its own linked blob and other executables on disk) and the build tools
// (which write and restamp it).
//
// Blob, all integers little-endian:
//   0   magic "ZRVBLOB1"
//   8   u32 entry count
//   12  u32 offset of the version area (from the blob's start)
//   16  u32 capacity of the version area in bytes (fixed when packed, so the
//       version can be rewritten in place in a finished executable)
//   20  u32 length of the version block in use (0: the file has no version)
//   24  entries, 20 bytes each: type name (8 bytes, NUL-padded), u32 id,
//       u32 offset, u32 size
//   ... entry data and the version area
//
// Version block: UTF-8 text, one item per line ending in '\n':
//   "translation\t<llll>\t<cccc>"            (hex language and code page)
//   "string\t<llllcccc>\t<name>\t<value>"
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/Resources.h"

namespace platform::blob {

inline constexpr std::string_view kMagic = "ZRVBLOB1";
inline constexpr std::size_t kHeaderSize = 24;
inline constexpr std::size_t kEntrySize = 20;
inline constexpr std::size_t kTypeSize = 8;
inline constexpr std::size_t kVersionCapacity = 2048;
// Name of the ELF section that holds the blob.
inline constexpr std::string_view kSectionName = ".zorvres";

using Bytes = std::span<const std::uint8_t>;

std::uint32_t ReadU32(const std::uint8_t* p);
void WriteU32(std::uint8_t* p, std::uint32_t value);

// The bytes of entry (type, id), or nullopt when the blob is malformed or has
// no such entry. Every offset is checked against the blob's size.
std::optional<Bytes> FindEntry(Bytes blob, std::string_view type, std::uint32_t id);

// Where the version area lies inside a blob.
struct VersionArea {
  std::size_t offset = 0;
  std::size_t capacity = 0;
  std::size_t length = 0;
};
std::optional<VersionArea> LocateVersionArea(Bytes blob);
// Only the header part of a blob is needed to locate the version area.
std::optional<VersionArea> LocateVersionArea(Bytes header, std::size_t blobSize);

std::string FormatVersionBlock(const VersionInfo& info);
// nullopt for text that is not a well-formed version block.
std::optional<VersionInfo> ParseVersionBlock(std::string_view text);

// The blob linked into the running executable (empty when none is linked).
Bytes LinkedBlob();

}  // namespace platform::blob
