#pragma once
// Text is std::wstring inside the client; these convert at the edges
// (file names, settings file and network text are UTF-8 on Linux).
#include <string>
#include <string_view>

namespace platform {

std::string ToUtf8(std::wstring_view text);
// Invalid UTF-8 sequences become U+FFFD; the conversion never fails.
std::wstring FromUtf8(std::string_view text);

}  // namespace platform
