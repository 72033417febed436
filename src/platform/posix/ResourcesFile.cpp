// Version blocks of executables on disk: the installed copy, a downloaded
// update and the running file are compared through these.
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "platform/ResourceBlob.h"
#include "platform/Text.h"
#include "platform/posix/ResourcesElf.h"

namespace platform {

namespace {

// The version block text of the file, nullopt when it has none or when the
// file is missing, not an ELF file, or damaged anywhere on the way.
std::optional<std::string> ReadVersionText(const std::wstring& path) {
  const std::filesystem::path file = ToUtf8(path);
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return std::nullopt;
  const std::uint64_t fileSize = std::filesystem::file_size(file, error);
  if (error) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  const auto section = elf::FindSection(in, fileSize, blob::kSectionName);
  if (!section || section->size < blob::kHeaderSize) return std::nullopt;

  std::uint8_t header[blob::kHeaderSize];
  in.clear();
  in.seekg(static_cast<std::streamoff>(section->offset));
  if (!in.read(reinterpret_cast<char*>(header), sizeof header)) return std::nullopt;
  const auto area = blob::LocateVersionArea(blob::Bytes(header, sizeof header), section->size);
  if (!area || area->length == 0) return std::nullopt;

  std::string text(area->length, '\0');
  in.seekg(static_cast<std::streamoff>(section->offset + area->offset));
  if (!in.read(text.data(), static_cast<std::streamsize>(text.size()))) return std::nullopt;
  if (!blob::ParseVersionBlock(text)) return std::nullopt;
  return text;
}

}  // namespace

std::size_t GetFileVersionInfoSize(const std::wstring& path) {
  const auto text = ReadVersionText(path);
  return text ? text->size() : 0;
}

std::optional<VersionInfo> GetFileVersionInfo(const std::wstring& path) {
  const auto text = ReadVersionText(path);
  if (!text) return std::nullopt;
  return blob::ParseVersionBlock(*text);
}

}  // namespace platform
