#pragma once
// Resources of the executable: a blob linked into its own ELF section, holding
// the string table, the PNG images, the default-files archive and the version
// block. The version block can also be read from any ELF file on disk.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

struct ResourceData {
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
};

// Resource types as the resource script names them: "STRING", "PNG", "ZIP",
// "BITMAP", "ICON", "VERSION".
std::optional<ResourceData> FindResource(std::string_view type, int id);
// A string-table entry; empty when there is none (LoadString).
std::wstring LoadString(int id);

// The version block of a file (GetFileVersionInfoW + VerQueryValueW).
struct VersionInfo {
  // "\VarFileInfo\Translation": language and code page pairs, in order.
  std::vector<std::pair<std::uint16_t, std::uint16_t>> translations;
  // "\StringFileInfo\<llllcccc>\<name>" values, keyed by the lower-case hex
  // "llllcccc" and the value name.
  std::vector<std::pair<std::wstring, std::wstring>> strings;  // key "080403a8\\FileVersion"
  // The value of "\StringFileInfo\<block>\<name>", or nullopt (VerQueryValue failing).
  std::optional<std::wstring> Query(const std::wstring& block, const std::wstring& name) const;
};
// Size of the version block of the file at path, 0 when it has none
// (GetFileVersionInfoSizeW).
std::size_t GetFileVersionInfoSize(const std::wstring& path);
std::optional<VersionInfo> GetFileVersionInfo(const std::wstring& path);

}  // namespace platform
