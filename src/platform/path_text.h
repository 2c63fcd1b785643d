#pragma once
// File system paths as the platform's API takes them: wide text on Windows,
// UTF-8 bytes on POSIX.

#include <string>
#include <string_view>

namespace korvant {

#ifdef _WIN32
using PathChar = wchar_t;
inline constexpr PathChar kPathSeparator = L'\\';
#else
using PathChar = char;
inline constexpr PathChar kPathSeparator = '/';
#endif
using PathText = std::basic_string<PathChar>;

PathText pathFromUtf8(std::string_view utf8);
std::string pathToUtf8(const PathText& path);

} // namespace korvant
