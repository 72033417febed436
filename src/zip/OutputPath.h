#pragma once
// Where an extracted entry goes. Both '\' and '/' separate folders in a target
// and in the base folder, as they do on Windows; on Linux the path written uses '/'.
#include <optional>
#include <string>
#include <string_view>

namespace zip {

// A target is absolute when it starts with a separator or has ':' as its
// second character (a drive letter).
bool IsAbsoluteTarget(std::wstring_view target);

// The text with every backslash turned into '/'.
std::wstring WithHostSeparators(std::wstring_view text);

struct OutputPlace {
  std::wstring folder;  // the folder to make: for a file, the target up to and
                        // with its last separator ("" for none)
  bool folderIsAbsolute = false;
  std::wstring path;  // the file or folder to write
};

// A relative target is placed below base (which ends in a separator); an
// absolute one is used as it is. Nothing is placed, and nullopt comes back,
// when the path would not fit in kMaxPath characters with its NUL, when a
// relative target has a ".." step, or when an absolute target does not lie
// below base: no name may lead out of the base folder.
std::optional<OutputPlace> PlaceFile(const std::wstring& base, std::wstring_view target);
// The same rules for a folder target.
std::optional<OutputPlace> PlaceFolder(const std::wstring& base, std::wstring_view target);

// Makes folder (relative to base, or absolute when base is null) and its
// parents, parents first; base itself is made first when missing. Failures are
// left for the caller to notice when it uses the folder.
void MakeFolders(const std::wstring* base, std::wstring_view folder);

}  // namespace zip
