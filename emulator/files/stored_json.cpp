#include "files/stored_json.h"

#include <stdexcept>

namespace korvant3emu::stored {

using nlohmann::json;

const json& required(const json& object, const std::string& name) {
    const auto found = object.find(name);
    if (found == object.end()) {
        throw std::runtime_error("member \"" + name + "\" is missing");
    }
    return *found;
}

int64_t number(const json& object, const std::string& name) {
    const json& value = required(object, name);
    if (!value.is_number_integer()) {
        throw std::runtime_error("member \"" + name + "\" is not an integer");
    }
    return value.get<int64_t>();
}

bool flag(const json& object, const std::string& name) {
    const json& value = required(object, name);
    if (!value.is_boolean()) {
        throw std::runtime_error("member \"" + name + "\" is not true or false");
    }
    return value.get<bool>();
}

std::string text(const json& object, const std::string& name) {
    const json& value = required(object, name);
    if (!value.is_string()) {
        throw std::runtime_error("member \"" + name + "\" is not a string");
    }
    return value.get<std::string>();
}

const json& object(const json& object, const std::string& name) {
    const json& value = required(object, name);
    if (!value.is_object()) {
        throw std::runtime_error("member \"" + name + "\" is not an object");
    }
    return value;
}

const json& array(const json& object, const std::string& name) {
    const json& value = required(object, name);
    if (!value.is_array()) {
        throw std::runtime_error("member \"" + name + "\" is not an array");
    }
    return value;
}

} // namespace korvant3emu::stored
