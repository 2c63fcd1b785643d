#include "device/request.h"

#include "device/tag_dictionary.h"
#include "nativeapi/utf.h"

namespace korvant {

Request& Request::set(uint16_t tag, std::string_view text) {
    return setValue(tag, nlohmann::json(sanitizeUtf8(text)));
}

Request& Request::setIfNotEmpty(uint16_t tag, std::string_view text) {
    return text.empty() ? *this : set(tag, text);
}

Request& Request::setValue(uint16_t tag, nlohmann::json value) {
    const std::string_view key = tagName(tag);
    // A number outside the dictionary has no key; a member under "" would
    // only confuse the library.
    if (!key.empty()) {
        body_[std::string(key)] = std::move(value);
    }
    return *this;
}

std::string Request::text() const {
    return body_.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

} // namespace korvant
