#include "platform/ResourceBlob.h"

#include <cstring>

#include "platform/Text.h"

namespace platform::blob {

std::uint32_t ReadU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void WriteU32(std::uint8_t* p, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

namespace {

bool HasHeader(Bytes blob) {
  return blob.size() >= kHeaderSize && std::memcmp(blob.data(), kMagic.data(), kMagic.size()) == 0;
}

bool TypeMatches(const std::uint8_t* field, std::string_view type) {
  if (type.size() > kTypeSize) return false;
  for (std::size_t i = 0; i < kTypeSize; ++i) {
    const char want = i < type.size() ? type[i] : '\0';
    if (static_cast<char>(field[i]) != want) return false;
  }
  return true;
}

bool IsHex(std::string_view text) {
  for (char c : text) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) return false;
  }
  return !text.empty();
}

std::uint16_t ParseHex16(std::string_view text) {
  std::uint16_t value = 0;
  for (char c : text) {
    const int digit = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
    value = static_cast<std::uint16_t>(value * 16 + digit);
  }
  return value;
}

std::string Hex4(std::uint16_t value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out(4, '0');
  for (int i = 3; i >= 0; --i, value >>= 4) out[i] = kDigits[value & 0xF];
  return out;
}

// Splits at tabs into exactly `count` fields; the last field keeps any tabs.
std::optional<std::vector<std::string_view>> Fields(std::string_view line, std::size_t count) {
  std::vector<std::string_view> fields;
  while (fields.size() + 1 < count) {
    const auto tab = line.find('\t');
    if (tab == std::string_view::npos) return std::nullopt;
    fields.push_back(line.substr(0, tab));
    line.remove_prefix(tab + 1);
  }
  fields.push_back(line);
  return fields;
}

}  // namespace

std::optional<Bytes> FindEntry(Bytes blob, std::string_view type, std::uint32_t id) {
  if (!HasHeader(blob)) return std::nullopt;
  const std::uint64_t count = ReadU32(blob.data() + 8);
  if (count > (blob.size() - kHeaderSize) / kEntrySize) return std::nullopt;
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::uint8_t* entry = blob.data() + kHeaderSize + i * kEntrySize;
    if (!TypeMatches(entry, type) || ReadU32(entry + kTypeSize) != id) continue;
    const std::uint64_t offset = ReadU32(entry + kTypeSize + 4);
    const std::uint64_t size = ReadU32(entry + kTypeSize + 8);
    if (offset > blob.size() || size > blob.size() - offset) return std::nullopt;
    return blob.subspan(offset, size);
  }
  return std::nullopt;
}

std::optional<VersionArea> LocateVersionArea(Bytes header, std::size_t blobSize) {
  if (!HasHeader(header) || header.size() > blobSize) return std::nullopt;
  const std::uint64_t offset = ReadU32(header.data() + 12);
  const std::uint64_t capacity = ReadU32(header.data() + 16);
  const std::uint64_t length = ReadU32(header.data() + 20);
  if (offset < kHeaderSize || offset > blobSize || capacity > blobSize - offset || length > capacity) {
    return std::nullopt;
  }
  return VersionArea{offset, capacity, length};
}

std::optional<VersionArea> LocateVersionArea(Bytes blob) { return LocateVersionArea(blob, blob.size()); }

std::string FormatVersionBlock(const VersionInfo& info) {
  std::string text;
  for (const auto& [language, codePage] : info.translations) {
    text += "translation\t" + Hex4(language) + "\t" + Hex4(codePage) + "\n";
  }
  for (const auto& [key, value] : info.strings) {
    const auto slash = key.find(L'\\');
    text += "string\t" + ToUtf8(key.substr(0, slash)) + "\t" + ToUtf8(key.substr(slash + 1)) + "\t" +
            ToUtf8(value) + "\n";
  }
  return text;
}

std::optional<VersionInfo> ParseVersionBlock(std::string_view text) {
  VersionInfo info;
  while (!text.empty()) {
    const auto end = text.find('\n');
    if (end == std::string_view::npos) return std::nullopt;
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    if (line.starts_with("translation\t")) {
      const auto fields = Fields(line, 3);
      if (!fields || (*fields)[1].size() != 4 || (*fields)[2].size() != 4 || !IsHex((*fields)[1]) ||
          !IsHex((*fields)[2])) {
        return std::nullopt;
      }
      info.translations.emplace_back(ParseHex16((*fields)[1]), ParseHex16((*fields)[2]));
    } else if (line.starts_with("string\t")) {
      const auto fields = Fields(line, 4);
      if (!fields || (*fields)[1].size() != 8 || !IsHex((*fields)[1]) || (*fields)[2].empty()) {
        return std::nullopt;
      }
      info.strings.emplace_back(FromUtf8((*fields)[1]) + L"\\" + FromUtf8((*fields)[2]),
                                FromUtf8((*fields)[3]));
    } else {
      return std::nullopt;
    }
  }
  return info;
}

}  // namespace platform::blob
