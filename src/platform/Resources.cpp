#include "platform/Resources.h"

#include "platform/ResourceBlob.h"
#include "platform/Text.h"

namespace platform {

namespace {

wchar_t FoldAscii(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

// Version block and value names match without regard to ASCII case, as the
// names in a version resource do.
bool EqualsFolded(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

}  // namespace

std::optional<ResourceData> FindResource(std::string_view type, int id) {
  if (id < 0) return std::nullopt;
  const blob::Bytes linked = blob::LinkedBlob();
  if (type == "VERSION") {
    // The running executable's own version block, under id 1.
    const auto area = blob::LocateVersionArea(linked);
    if (id != 1 || !area || area->length == 0) return std::nullopt;
    return ResourceData{linked.data() + area->offset, area->length};
  }
  const auto entry = blob::FindEntry(linked, type, static_cast<std::uint32_t>(id));
  if (!entry) return std::nullopt;
  return ResourceData{entry->data(), entry->size()};
}

std::wstring LoadString(int id) {
  const auto entry = FindResource("STRING", id);
  if (!entry) return {};
  return FromUtf8(std::string_view(reinterpret_cast<const char*>(entry->data), entry->size));
}

std::optional<std::wstring> VersionInfo::Query(const std::wstring& block, const std::wstring& name) const {
  const std::wstring key = block + L"\\" + name;
  for (const auto& [k, value] : strings) {
    if (EqualsFolded(k, key)) return value;
  }
  return std::nullopt;
}

}  // namespace platform
