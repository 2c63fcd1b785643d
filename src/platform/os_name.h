#pragma once
// The operating system's short name as the log's start-up line shows it.

#include <string_view>

namespace korvant {

#ifdef _WIN32
inline constexpr std::string_view kOsName = "Win";
#else
inline constexpr std::string_view kOsName = "Linux";
#endif

} // namespace korvant
