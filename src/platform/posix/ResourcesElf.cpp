#include "platform/posix/ResourcesElf.h"

#include <cstring>
#include <vector>

namespace platform::elf {

namespace {

constexpr std::uint64_t kElfHeaderSize = 64;
constexpr std::uint64_t kSectionHeaderSize = 64;
constexpr std::uint32_t kNoBits = 8;         // SHT_NOBITS: occupies no file space
constexpr std::uint16_t kIndexInSection0 = 0xFFFF;  // SHN_XINDEX
// Section name tables hold a few hundred bytes; a larger one is not read whole.
constexpr std::uint64_t kMaxNamesSize = 16 << 20;

std::uint64_t Le(const std::uint8_t* p, int bytes) {
  std::uint64_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = value << 8 | p[i];
  return value;
}

bool InFile(std::uint64_t offset, std::uint64_t size, std::uint64_t fileSize) {
  return offset <= fileSize && size <= fileSize - offset;
}

bool ReadAt(std::istream& file, std::uint64_t offset, std::uint8_t* out, std::uint64_t size) {
  file.clear();
  file.seekg(static_cast<std::streamoff>(offset));
  file.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(size));
  return file.good() || (file.eof() && static_cast<std::uint64_t>(file.gcount()) == size);
}

}  // namespace

std::optional<Section> FindSection(std::istream& file, std::uint64_t fileSize, std::string_view name) {
  std::uint8_t header[kElfHeaderSize];
  if (fileSize < kElfHeaderSize || !ReadAt(file, 0, header, kElfHeaderSize)) return std::nullopt;
  if (std::memcmp(header, "\x7f" "ELF", 4) != 0 || header[4] != 2 /* 64-bit */ || header[5] != 1 /* LE */) {
    return std::nullopt;
  }
  const std::uint64_t tableOffset = Le(header + 0x28, 8);
  const std::uint64_t entrySize = Le(header + 0x3A, 2);
  std::uint64_t count = Le(header + 0x3C, 2);
  std::uint64_t namesIndex = Le(header + 0x3E, 2);
  if (tableOffset == 0 || entrySize < kSectionHeaderSize || !InFile(tableOffset, entrySize, fileSize)) {
    return std::nullopt;
  }
  // Large section counts and name-table indexes live in section 0.
  std::vector<std::uint8_t> first(entrySize);
  if (!ReadAt(file, tableOffset, first.data(), entrySize)) return std::nullopt;
  if (count == 0) count = Le(first.data() + 32, 8);
  if (namesIndex == kIndexInSection0) namesIndex = Le(first.data() + 40, 4);
  if (count == 0 || count > fileSize / entrySize || namesIndex >= count ||
      !InFile(tableOffset, count * entrySize, fileSize)) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> table(count * entrySize);
  if (!ReadAt(file, tableOffset, table.data(), table.size())) return std::nullopt;

  const std::uint8_t* namesHeader = table.data() + namesIndex * entrySize;
  const std::uint64_t namesOffset = Le(namesHeader + 24, 8);
  const std::uint64_t namesSize = Le(namesHeader + 32, 8);
  if (Le(namesHeader + 4, 4) == kNoBits || namesSize > kMaxNamesSize || !InFile(namesOffset, namesSize, fileSize)) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> names(namesSize);
  if (!ReadAt(file, namesOffset, names.data(), namesSize)) return std::nullopt;

  for (std::uint64_t i = 0; i < count; ++i) {
    const std::uint8_t* section = table.data() + i * entrySize;
    const std::uint64_t nameOffset = Le(section, 4);
    if (nameOffset >= names.size()) continue;
    const char* start = reinterpret_cast<const char*>(names.data() + nameOffset);
    const std::size_t room = names.size() - nameOffset;
    const std::string_view sectionName(start, strnlen(start, room));
    if (sectionName.size() == room || sectionName != name) continue;  // unterminated or other name
    const std::uint64_t offset = Le(section + 24, 8);
    const std::uint64_t size = Le(section + 32, 8);
    if (Le(section + 4, 4) == kNoBits || !InFile(offset, size, fileSize)) return std::nullopt;
    return Section{offset, size};
  }
  return std::nullopt;
}

}  // namespace platform::elf
