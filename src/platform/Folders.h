#pragma once
// Special folders, as the client asks for them by kind (CSIDL_*). On Linux they
// follow the XDG base directories, so every one of them can be pointed at a
// sandbox through HOME and XDG_* in the environment.
#include <string>

namespace platform {

enum class SpecialFolder {
  AppData,        // CSIDL_APPDATA: $XDG_DATA_HOME (default ~/.local/share)
  Programs,       // CSIDL_PROGRAMS: $XDG_DATA_HOME/applications
  Desktop,        // CSIDL_DESKTOP: the XDG desktop folder (default ~/Desktop)
  InternetCache,  // the browser's cache folder: $XDG_CACHE_HOME/Zorv/browser
};

// The folder's path without a trailing separator; empty when it cannot be
// determined. Folders are not created here.
std::wstring GetSpecialFolder(SpecialFolder which);

// The path separator of this platform, for building paths in client code.
inline constexpr wchar_t kPathSeparator = L'/';

}  // namespace platform
