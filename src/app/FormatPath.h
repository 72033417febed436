#pragma once
// Formatting a path into the system's 260-character path buffer.
//
// The format follows the Windows wide printf family: %s and %c take wide text
// (std::wstring or const wchar_t*, wchar_t), %S and %hs narrow text; numbers
// as usual. When the text would not fit in 260 characters (259 and the
// terminator), the result is empty and false: a clean failure, never a
// truncated path.
#include <string>
#include <type_traits>

namespace format_path_detail {
bool FormatPathVa(std::wstring& out, const wchar_t* format, ...);

template <typename T>
decltype(auto) Pass(const T& value) {
  if constexpr (std::is_same_v<T, std::wstring>)
    return value.c_str();
  else if constexpr (std::is_same_v<T, std::string>)
    return value.c_str();
  else
    return value;
}
}  // namespace format_path_detail

inline constexpr std::size_t kMaxPathChars = 260;

template <typename... Args>
bool FormatPath(std::wstring& out, const wchar_t* format, const Args&... args) {
  static_assert((std::is_scalar_v<std::decay_t<decltype(format_path_detail::Pass(args))>> && ...),
                "FormatPath takes numbers, characters, C strings and std::(w)string");
  return format_path_detail::FormatPathVa(out, format, format_path_detail::Pass(args)...);
}
