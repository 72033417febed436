#include "update/UpdateLog.h"

#include <cstdio>
#include <ctime>
#include <string>

#include "app/InstallDir.h"
#include "platform/Text.h"

namespace {

// UTF-16 little-endian code units, pairs of surrogates above U+FFFF.
std::string ToUtf16Le(const std::wstring& text) {
  std::string bytes;
  bytes.reserve(text.size() * 2);
  auto put = [&bytes](std::uint32_t unit) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>((unit >> 8) & 0xFF);
  };
  for (wchar_t wc : text) {
    auto c = static_cast<std::uint32_t>(wc);
    if (c > 0x10FFFF) c = 0xFFFD;
    if (c >= 0x10000) {
      c -= 0x10000;
      put(0xD800 | (c >> 10));
      put(0xDC00 | (c & 0x3FF));
    } else {
      put(c);
    }
  }
  return bytes;
}

std::wstring TimeStampedLine(const std::wstring& message) {
  int year = 0, month = 0, day = 0, hour = -1, minute = -1, second = -1;
  std::time_t now = std::time(nullptr);
  if (const std::tm* local = std::localtime(&now)) {
    year = local->tm_year + 1900;
    month = local->tm_mon + 1;
    day = local->tm_mday;
    hour = local->tm_hour;
    minute = local->tm_min;
    second = local->tm_sec;
  }
  wchar_t stamp[64];
  std::swprintf(stamp, 64, L"%2d-%2d-%2d %2d:%2d:%2d : \t", year, month, day, hour, minute, second);
  return std::wstring(stamp) + L"UpdateModule\t" + message;
}

}  // namespace

std::wstring UpdateLogPath() { return GetInstallDir() + L"res/update.log"; }

int WriteUpdateLog(const std::wstring& message) {
  std::string bytes = ToUtf16Le(TimeStampedLine(message) + L"\r\n");
  // Append mode creates a missing file but never its folder.
  std::FILE* file = std::fopen(platform::ToUtf8(UpdateLogPath()).c_str(), "ab");
  if (!file) return -1;
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  bool closed = std::fclose(file) == 0;
  return written && closed ? 0 : -1;
}

void WriteUpdateLogError(const std::wstring& heading, const std::exception& error) {
  constexpr std::size_t kMessageChars = 254;
  WriteUpdateLog(heading);
  WriteUpdateLog(platform::FromUtf8(error.what()).substr(0, kMessageChars));
}
