#include "platform/Text.h"

namespace platform {

std::string ToUtf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t wc : text) {
    auto c = static_cast<char32_t>(wc);
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::wstring FromUtf8(std::string_view text) {
  std::wstring out;
  out.reserve(text.size());
  std::size_t i = 0;
  const std::size_t n = text.size();
  auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  while (i < n) {
    unsigned char b = byte(i);
    char32_t c;
    std::size_t len;
    if (b < 0x80) { c = b; len = 1; }
    else if ((b & 0xE0) == 0xC0) { c = b & 0x1F; len = 2; }
    else if ((b & 0xF0) == 0xE0) { c = b & 0x0F; len = 3; }
    else if ((b & 0xF8) == 0xF0) { c = b & 0x07; len = 4; }
    else { out += L'\uFFFD'; ++i; continue; }
    if (i + len > n) { out += L'\uFFFD'; ++i; continue; }
    bool ok = true;
    for (std::size_t k = 1; k < len; ++k) {
      if ((byte(i + k) & 0xC0) != 0x80) { ok = false; break; }
      c = (c << 6) | (byte(i + k) & 0x3F);
    }
    const bool overlong = (len == 2 && c < 0x80) || (len == 3 && c < 0x800) || (len == 4 && c < 0x10000);
    if (!ok || overlong || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      out += L'\uFFFD';
      ++i;
      continue;
    }
    out += static_cast<wchar_t>(c);
    i += len;
  }
  return out;
}

}  // namespace platform
