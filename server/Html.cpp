#include "Html.h"

namespace zorv::server {

std::string EscapeHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string FillTemplate(std::string_view page, const std::map<std::string, std::string, std::less<>>& values) {
  std::string out;
  out.reserve(page.size());
  std::size_t pos = 0;
  while (pos < page.size()) {
    std::size_t open = page.find("{{", pos);
    if (open == std::string_view::npos) break;
    std::size_t close = page.find("}}", open + 2);
    if (close == std::string_view::npos) break;
    out.append(page.substr(pos, open - pos));
    auto value = values.find(page.substr(open + 2, close - open - 2));
    if (value != values.end())
      out += value->second;
    else
      out.append(page.substr(open, close + 2 - open));
    pos = close + 2;
  }
  out.append(page.substr(pos));
  return out;
}

std::string PercentEncode(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                      c == '.' || c == '_' || c == '~';
    if (unreserved) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

}  // namespace zorv::server
