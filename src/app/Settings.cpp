#include "app/Settings.h"

#include "app/InstallDir.h"
#include "platform/Profile.h"
#include "platform/Resources.h"

namespace {

constexpr int kSettingsFile = 197;  // "res//systemset.ini"
constexpr std::size_t kBufferChars = 260;

std::wstring SettingsPath() { return GetInstallDir() + platform::LoadString(kSettingsFile); }

}  // namespace

std::wstring ReadSetting(const std::wstring& section, const std::wstring& key, const std::wstring& defaultValue) {
  return platform::GetPrivateProfileString(section, key, defaultValue, SettingsPath(), kBufferChars);
}

void WriteSetting(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
  platform::WritePrivateProfileString(section, key, value, SettingsPath());
}
