#pragma once
// The digest port: MD5 of a file's contents.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

using Md5Value = std::array<std::uint8_t, 16>;

// MD5 of the whole file, read in chunks. nullopt when the file cannot be opened
// or read, or the digest cannot be computed.
std::optional<Md5Value> FileMd5(const std::wstring& path);

}  // namespace platform
