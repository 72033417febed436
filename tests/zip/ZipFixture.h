#pragma once
// Builds small ZIP archives in memory, header by header, so that tests can make
// both well-formed archives and hostile ones (wrong CRC, broken local header,
// extra fields that run past the end, odd hosts and flags).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zorv::test {

struct FixtureEntry {
  std::string name;
  std::string data;
  bool deflate = true;
  std::uint16_t versionMadeBy = 20;  // host 0 (MS-DOS) in the high byte
  std::uint32_t external = 0x20;
  std::uint32_t dosDateTime = (46u << 25) | (5u << 21) | (17u << 16) | (14u << 11) | (30u << 5) | 10u;  // 2026-05-17 14:30:20
  std::uint16_t flags = 0;
  std::string localExtra;
  // Overrides of what the writer would store.
  std::optional<std::uint32_t> crc;
  std::optional<std::uint16_t> method;
  std::optional<std::uint16_t> localExtraLength;
  std::optional<std::uint32_t> uncompressedSize;
  bool breakLocalSignature = false;
  bool corruptData = false;  // flips bits in the middle of the stored data
};

std::string BuildArchive(const std::vector<FixtureEntry>& entries);

// A "UT" extra block: the flag byte and one 4-byte time per flag bit.
std::string UnixTimeBlock(std::uint8_t flags, const std::vector<std::int32_t>& times);

}  // namespace zorv::test
