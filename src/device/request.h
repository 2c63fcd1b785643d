#pragma once
// A request to the device library: a JSON object whose members are keyed by the
// tag dictionary's names. It starts as JSON null, so a request to which nothing
// was added is the text "null".

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace korvant {

class Request {
public:
    // A text member. Invalid UTF-8 is replaced by U+FFFD, so the request can
    // always be written out.
    Request& set(uint16_t tag, std::string_view text);

    // An integer member, written as a JSON integer.
    template <std::integral T>
    requires(!std::same_as<T, bool> && !std::same_as<T, char>) Request& set(uint16_t tag, T value) {
        if constexpr (std::is_signed_v<T>) {
            return setValue(tag, nlohmann::json(static_cast<int64_t>(value)));
        } else {
            return setValue(tag, nlohmann::json(static_cast<uint64_t>(value)));
        }
    }

    // A text member, only when the text is not empty.
    Request& setIfNotEmpty(uint16_t tag, std::string_view text);

    bool empty() const { return !body_.is_object() || body_.empty(); }

    // Compact JSON, members in ascending byte order of their keys, non-ASCII
    // characters as raw UTF-8.
    std::string text() const;

private:
    Request& setValue(uint16_t tag, nlohmann::json value);

    nlohmann::json body_;
};

} // namespace korvant
