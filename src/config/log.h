#pragma once
// The diagnostic log: one file, plog's text or CSV layout, debug severity only.
// Off until a component constructor finds it enabled; then on for the rest of
// the process. Call sites use KORVANT_LOG, which tests one flag before it builds
// anything, so a switched-off log costs one comparison per line.

#include <charconv>
#include <concepts>
#include <string>
#include <string_view>
#include <type_traits>

#include "platform/path_text.h"

namespace korvant::log {

// True once the log has been started in this add-in instance and its file is
// open for writing.
bool enabled() noexcept;

// Starts the log on `path` the first time it is called; later calls change
// nothing, also when the first could not open its file (the log then stays
// off). Never throws.
void start(const PathText& path);

// Appends one debug record. `function` is "Class::method".
void write(std::string_view function, int line, std::string_view message) noexcept;

// The build's platform and word size for the start-up line: "Linux64",
// "Linux32", "Win64" or "Win32".
std::string bitnessLine();

namespace detail {
inline void append(std::string& out, std::string_view text) {
    out.append(text);
}
inline void append(std::string& out, const char* text) {
    out.append(text ? text : "(null)");
}
inline void append(std::string& out, const std::string& text) {
    out.append(text);
}
template <typename T>
requires std::integral<T> &&
    (!std::same_as<T, bool>)&&(!std::same_as<T, char>)void append(std::string& out, T value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}
inline void append(std::string& out, bool value) {
    out.append(value ? "true" : "false");
}
inline void append(std::string& out, char value) {
    out.push_back(value);
}
} // namespace detail

// The message pieces (texts and integers) appended in order.
template <typename... Pieces> std::string concat(const Pieces&... pieces) {
    std::string message;
    (detail::append(message, pieces), ...);
    return message;
}

} // namespace korvant::log

#define KORVANT_LOG(function, ...)                                                                 \
    do {                                                                                           \
        if (::korvant::log::enabled()) {                                                           \
            ::korvant::log::write(function, __LINE__, ::korvant::log::concat(__VA_ARGS__));        \
        }                                                                                          \
    } while (0)
