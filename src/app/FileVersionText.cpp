#include "app/FileVersionText.h"

#include <cwchar>

#include "platform/Files.h"
#include "platform/Resources.h"

std::wstring GetFileVersionText(const std::wstring& path) {
  if (!platform::FileExists(path)) return {};
  if (platform::GetFileVersionInfoSize(path) == 0) return L"None VerSion Supprot";
  std::wstring result;
  const auto info = platform::GetFileVersionInfo(path);
  if (!info) return result;
  for (const auto& [language, codePage] : info->translations) {
    wchar_t block[16];
    std::swprintf(block, sizeof block / sizeof block[0], L"%04x%04x", static_cast<unsigned>(language),
                  static_cast<unsigned>(codePage));
    if (auto text = info->Query(block, L"FileVersion")) result += *text;
  }
  return result;
}
