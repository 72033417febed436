#include "app/InstallRecord.h"

#include <array>
#include <utility>

#include "app/AppProfile.h"
#include "platform/Registry.h"
#include "platform/Resources.h"

namespace {

// Name and value pairs in the order they are written.
std::array<std::pair<const wchar_t*, std::wstring>, 4> Values(const InstallRecord& record) {
  return {{{L"Path", record.Path},
           {L"DisplayName", record.DisplayName},
           {L"Publisher", record.Publisher},
           {L"UninstallString", record.UninstallString}}};
}

}  // namespace

InstallRecord MakeInstallRecord(const std::wstring& target) {
  return {target, platform::LoadString(102), platform::LoadString(125), target + L" -u"};
}

void WriteInstalledProgramsEntry(const InstallRecord& record) {
  // On Windows the parent key always exists and is opened first; in our own
  // store it exists only once something was recorded, so the whole path is
  // created here and only the last key's creation counts.
  if (platform::RegistryCreateKey(platform::RegistryHive::LocalMachine, kUninstallKey) !=
      platform::RegistryKeyResult::Created) {
    return;
  }
  for (const auto& [name, value] : Values(record)) {
    platform::RegistrySetString(platform::RegistryHive::LocalMachine, kUninstallKey, name, value);
  }
}

void WriteProfileCopy(const InstallRecord& record) {
  if (GetProfileString(kProfileSection, L"Path", L"no find!") == record.Path) return;
  for (const auto& [name, value] : Values(record)) {
    WriteProfileString(kProfileSection, name, value);
  }
}
