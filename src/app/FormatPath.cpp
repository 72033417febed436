#include "app/FormatPath.h"

#include <cstdarg>
#include <cwchar>

namespace format_path_detail {
namespace {

// The C library's wide printf reads %s and %c as narrow; the Windows one as
// wide. Rewrites a Windows-style format for the C library.
std::wstring ToLibraryFormat(const wchar_t* format) {
  std::wstring out;
  for (const wchar_t* p = format; *p != L'\0'; ++p) {
    out += *p;
    if (*p != L'%') continue;
    ++p;
    if (*p == L'%') {
      out += *p;
      continue;
    }
    while (*p != L'\0' && std::wcschr(L"-+ #0123456789.*", *p) != nullptr) out += *p++;
    if (*p == L'\0') break;
    const wchar_t size = (*p == L'h' || *p == L'l' || *p == L'w') ? *p++ : L'\0';
    if (*p == L'\0') break;
    const wchar_t kind = *p;
    if (kind == L's' || kind == L'c' || kind == L'S' || kind == L'C') {
      const bool wide = size == L'l' || size == L'w' || (size == L'\0' && (kind == L's' || kind == L'c'));
      if (wide) out += L'l';
      out += static_cast<wchar_t>(kind == L'S' || kind == L's' ? L's' : L'c');
    } else {
      if (size != L'\0') out += size;
      out += kind;
    }
  }
  return out;
}

}  // namespace

bool FormatPathVa(std::wstring& out, const wchar_t* format, ...) {
  out.clear();
  if (format == nullptr) return false;
  const std::wstring libraryFormat = ToLibraryFormat(format);
  wchar_t buffer[kMaxPathChars];
  va_list args;
  va_start(args, format);
  const int written = std::vswprintf(buffer, kMaxPathChars, libraryFormat.c_str(), args);
  va_end(args);
  if (written < 0) return false;
  out.assign(buffer, static_cast<std::size_t>(written));
  return true;
}

}  // namespace format_path_detail
