#pragma once
// Replacing a file atomically: the new bytes go into a sibling temporary file
// that is then renamed over the target, so readers see the old or the new
// file, never a half-written one. Shared by the files port and the profile.
#include <sys/types.h>

#include <string>
#include <string_view>

namespace platform::posix {

// Writes bytes to a new temporary file beside path and renames it over path
// (or, with noReplace, only when path does not exist: EEXIST otherwise). The
// new file gets mode (umask applies when keepUmask). On failure the target is
// untouched, the temporary file removed and errno tells why.
bool ReplaceFile(const std::string& path, std::string_view bytes, mode_t mode, bool noReplace = false);

// Like ReplaceFile, but the content comes from an open descriptor, and the
// times of the source are kept.
bool ReplaceFileFromDescriptor(const std::string& path, int sourceFd, mode_t mode, bool noReplace);

// errno-style checks shared by every writer: 0 when path may be replaced or
// created, else EACCES for a read-only file (refused even to root, as the
// read-only attribute is on Windows), ETXTBSY for a running executable,
// EISDIR for a folder.
int CheckReplaceable(const std::string& path);

// The mode a new file gets when nothing else is asked for: 0666 less the umask.
mode_t DefaultFileMode();

}  // namespace platform::posix
