#include "update/UpdateLogFile.h"

#include "support/FileHelpers.h"
#include "update/UpdateLog.h"

namespace zorv::test {

std::wstring DecodeUtf16Le(const std::string& bytes) {
  std::wstring text;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    char32_t unit = static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
    if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
      char32_t low = static_cast<unsigned char>(bytes[i + 2]) | (static_cast<unsigned char>(bytes[i + 3]) << 8);
      unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
      i += 2;
    }
    text += static_cast<wchar_t>(unit);
  }
  return text;
}

std::vector<std::wstring> LogLines() {
  std::vector<std::wstring> lines;
  auto bytes = ReadFile(Narrow(UpdateLogPath()));
  if (!bytes) return lines;
  std::wstring text = DecodeUtf16Le(*bytes);
  std::size_t start = 0;
  for (std::size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  if (start < text.size()) lines.push_back(text.substr(start));  // an unterminated tail shows up too
  return lines;
}

std::vector<std::wstring> LogMessages() {
  std::vector<std::wstring> messages;
  const std::wstring tag = L"\tUpdateModule\t";
  for (const std::wstring& line : LogLines()) {
    auto at = line.find(tag);
    messages.push_back(at == std::wstring::npos ? L"<untagged>" + line : line.substr(at + tag.size()));
  }
  return messages;
}

}  // namespace zorv::test
