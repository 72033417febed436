#include "app/AppProfile.h"

#include <optional>

#include "app/Zedoro_BrixApp.h"
#include "platform/Process.h"
#include "platform/Registry.h"

namespace {

// The file name after the last separator, cut at its last '.', as the
// framework names the application when it has no title string.
std::wstring ApplicationName() {
  std::wstring path = platform::GetModulePath();
  std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
  std::size_t dot = name.find_last_of(L'.');
  return dot == std::wstring::npos ? name : name.substr(0, dot);
}

std::optional<std::wstring> SectionKey(const std::wstring& section) {
  std::wstring app = ApplicationName();
  const std::wstring& registryKey = theApp.RegistryKey();
  if (registryKey.empty() || app.empty() || section.empty()) return std::nullopt;
  return L"Software\\" + registryKey + L"\\" + app + L"\\" + section;
}

}  // namespace

std::wstring GetProfileString(const std::wstring& section, const std::wstring& entry,
                              const std::wstring& defaultValue) {
  auto key = SectionKey(section);
  if (!key) return defaultValue;
  return platform::RegistryGetString(platform::RegistryHive::CurrentUser, *key, entry).value_or(defaultValue);
}

bool WriteProfileString(const std::wstring& section, const std::wstring& entry, const std::wstring& value) {
  auto key = SectionKey(section);
  if (!key) return false;
  if (platform::RegistryCreateKey(platform::RegistryHive::CurrentUser, *key) == platform::RegistryKeyResult::Failed) {
    return false;
  }
  return platform::RegistrySetString(platform::RegistryHive::CurrentUser, *key, entry, value);
}
