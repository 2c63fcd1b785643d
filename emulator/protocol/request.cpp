#include "protocol/request.h"

#include "device/tag_dictionary.h"

namespace korvant3emu {

std::string key(uint16_t tag) {
    return std::string(korvant::tagName(tag));
}

Request Request::parse(const char* text) {
    Request request;
    if (text == nullptr) {
        return request;
    }
    request.json_ = nlohmann::json::parse(text, nullptr, false);
    if (request.json_.is_discarded()) {
        throw BadRequest{"request is not valid JSON"};
    }
    if (!request.json_.is_object() && !request.json_.is_null()) {
        throw BadRequest{"request is not a JSON object"};
    }
    return request;
}

const nlohmann::json* Request::member(uint16_t tag) const {
    if (!json_.is_object()) {
        return nullptr;
    }
    const auto found = json_.find(key(tag));
    return found == json_.end() ? nullptr : &*found;
}

bool Request::has(uint16_t tag) const {
    return member(tag) != nullptr;
}

std::string Request::text(uint16_t tag) const {
    if (!has(tag)) {
        throw BadRequest{"request lacks member \"" + key(tag) + "\""};
    }
    return text(tag, {});
}

int64_t Request::number(uint16_t tag) const {
    if (!has(tag)) {
        throw BadRequest{"request lacks member \"" + key(tag) + "\""};
    }
    return number(tag, 0);
}

std::string Request::text(uint16_t tag, std::string fallback) const {
    const auto* value = member(tag);
    if (value == nullptr) {
        return fallback;
    }
    if (!value->is_string()) {
        throw BadRequest{"member \"" + key(tag) + "\" is not a string"};
    }
    return value->get<std::string>();
}

int64_t Request::number(uint16_t tag, int64_t fallback) const {
    const auto* value = member(tag);
    if (value == nullptr) {
        return fallback;
    }
    if (value->is_number_unsigned() && value->get<uint64_t>() > uint64_t(INT64_MAX)) {
        throw BadRequest{"member \"" + key(tag) + "\" is out of range"};
    }
    if (!value->is_number_integer()) {
        throw BadRequest{"member \"" + key(tag) + "\" is not an integer"};
    }
    return value->get<int64_t>();
}

nlohmann::json Request::textMembersExcept(uint16_t tag) const {
    auto texts = nlohmann::json::object();
    if (json_.is_object()) {
        for (const auto& [name, value] : json_.items()) {
            if (value.is_string() && name != key(tag)) {
                texts[name] = value;
            }
        }
    }
    return texts;
}

} // namespace korvant3emu
