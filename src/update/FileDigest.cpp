#include "update/FileDigest.h"

#include "platform/Digest.h"

bool FileMd5Hex(const std::wstring& path, std::wstring& out) {
  auto digest = platform::FileMd5(path);
  if (!digest) return false;
  static constexpr wchar_t kHex[] = L"0123456789abcdef";
  for (std::uint8_t byte : *digest) {
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0F];
  }
  return true;
}
