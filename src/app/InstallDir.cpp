#include "app/InstallDir.h"

#include <mutex>

#include "platform/Folders.h"
#include "platform/Resources.h"

namespace {
constexpr int kPlatformFolderName = 124;
constexpr int kInstallFolderName = 117;
}  // namespace

std::wstring GetInstallDir() {
  static std::mutex mutex;
  static std::wstring cached;
  std::lock_guard lock(mutex);
  if (cached.empty()) {
    // Linux paths: '/' where the Windows client puts a backslash.
    cached = platform::GetSpecialFolder(platform::SpecialFolder::AppData) + platform::kPathSeparator +
             platform::LoadString(kPlatformFolderName) + platform::kPathSeparator +
             platform::LoadString(kInstallFolderName) + platform::kPathSeparator;
  }
  return cached;
}
