#include "zip/OutputPath.h"

#include <algorithm>

#include "platform/Files.h"
#include "zip/Zip.h"

namespace zip {
namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool HasParentStep(std::wstring_view path) {
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find(L'/', start);
    if (end == std::wstring_view::npos) end = path.size();
    if (path.substr(start, end - start) == L"..") return true;
    start = end + 1;
  }
  return false;
}

// Whether an absolute target may be written: it must lie below an absolute base.
bool LiesBelow(std::wstring_view path, std::wstring_view base) {
  return !base.empty() && base.front() == L'/' && path.size() > base.size() && path.starts_with(base) &&
         !HasParentStep(path.substr(base.size()));
}

bool MayWrite(const std::wstring& base, const std::wstring& hostTarget, bool absolute) {
  return absolute ? LiesBelow(hostTarget, base) : !HasParentStep(hostTarget);
}

}  // namespace

std::wstring WithHostSeparators(std::wstring_view text) {
  std::wstring out(text);
  std::replace(out.begin(), out.end(), L'\\', L'/');
  return out;
}

bool IsAbsoluteTarget(std::wstring_view target) {
  return (!target.empty() && IsSeparator(target[0])) || (target.size() >= 2 && target[1] == L':');
}

std::optional<OutputPlace> PlaceFile(const std::wstring& base, std::wstring_view target) {
  const std::wstring host = WithHostSeparators(target);
  const std::size_t split = host.find_last_of(L'/');
  OutputPlace place;
  place.folder = split == std::wstring::npos ? std::wstring() : host.substr(0, split + 1);
  place.folderIsAbsolute = IsAbsoluteTarget(place.folder);
  place.path = place.folderIsAbsolute ? host : base + host;
  if (place.path.size() >= kMaxPath || !MayWrite(base, host, place.folderIsAbsolute)) return std::nullopt;
  return place;
}

std::optional<OutputPlace> PlaceFolder(const std::wstring& base, std::wstring_view target) {
  OutputPlace place;
  place.folder = WithHostSeparators(target);
  place.folderIsAbsolute = IsAbsoluteTarget(place.folder);
  place.path = place.folderIsAbsolute ? place.folder : base + place.folder;
  if (place.path.size() >= kMaxPath || !MayWrite(base, place.folder, place.folderIsAbsolute)) return std::nullopt;
  return place;
}

void MakeFolders(const std::wstring* base, std::wstring_view folder) {
  if (base && !platform::FileExists(*base)) platform::CreateFolder(*base);
  if (folder.empty()) return;
  const std::size_t split = folder.find_last_of(L"\\/");
  if (split != std::wstring_view::npos && split != 0) MakeFolders(base, folder.substr(0, split));
  const std::wstring full = (base ? *base : std::wstring()) + std::wstring(folder);
  if (!platform::FileExists(full)) platform::CreateFolder(full);
}

}  // namespace zip
