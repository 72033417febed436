#pragma once
// Finding a named section in an ELF file on disk (64-bit, little-endian, as
// the client's executables are). Used by the version reader and the build's
// version stamping tool.
#include <cstdint>
#include <istream>
#include <optional>
#include <string_view>

namespace platform::elf {

struct Section {
  std::uint64_t offset = 0;  // in the file
  std::uint64_t size = 0;
};

// nullopt when the stream is not such an ELF file, is damaged, or has no
// section of that name with data in the file. Every offset and size read from
// the file is checked against fileSize before it is used.
std::optional<Section> FindSection(std::istream& file, std::uint64_t fileSize, std::string_view name);

}  // namespace platform::elf
