#include "device/field_reader.h"

#include <cmath>

#include "device/tag_dictionary.h"
#include "device/units.h"

namespace korvant {

std::optional<int64_t> integerOf(const nlohmann::json& value) {
    if (value.is_boolean()) {
        return value.get<bool>() ? 1 : 0;
    }
    if (value.is_number_unsigned()) {
        const uint64_t number = value.get<uint64_t>();
        if (number > static_cast<uint64_t>(INT64_MAX)) {
            return std::nullopt;
        }
        return static_cast<int64_t>(number);
    }
    if (value.is_number_integer()) {
        return value.get<int64_t>();
    }
    if (value.is_number_float()) {
        // Converting an out-of-range double to an integer is undefined.
        const double truncated = std::trunc(value.get<double>());
        if (std::isfinite(truncated) && truncated >= -0x1p63 && truncated < 0x1p63) {
            return static_cast<int64_t>(truncated);
        }
    }
    return std::nullopt;
}

std::optional<int64_t> wholeNumberOf(const nlohmann::json& value) {
    if (value.is_number_float() && std::trunc(value.get<double>()) != value.get<double>()) {
        return std::nullopt;
    }
    return integerOf(value);
}

std::optional<int32_t> thirtyTwoBitsOf(int64_t value) {
    if (value < INT32_MIN || value > static_cast<int64_t>(UINT32_MAX)) {
        return std::nullopt;
    }
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

const nlohmann::json* FieldReader::find(uint16_t tag) const {
    const auto found = object_.find(tagName(tag));
    if (found == object_.end() || found->is_null()) {
        return nullptr;
    }
    return &*found;
}

const nlohmann::json* FieldReader::member(uint16_t tag) const {
    const auto* found = find(tag);
    if (found == nullptr && absent_ != nullptr) {
        absent_->push_back(tag);
    }
    return found;
}

std::string FieldReader::text(uint16_t tag) const {
    const auto* value = member(tag);
    if (value == nullptr) {
        return {};
    }
    if (!value->is_string()) {
        failed_ = true;
        return {};
    }
    return value->get<std::string>();
}

int64_t FieldReader::wideNumber(uint16_t tag) const {
    const auto* value = member(tag);
    if (value == nullptr) {
        return 0;
    }
    const auto integer = wholeNumberOf(*value);
    if (!integer) {
        failed_ = true;
        return 0;
    }
    return *integer;
}

int32_t FieldReader::number(uint16_t tag) const {
    const auto value = thirtyTwoBitsOf(wideNumber(tag));
    if (!value) {
        failed_ = true;
        return 0;
    }
    return *value;
}

uint32_t FieldReader::unsignedNumber(uint16_t tag) const {
    return static_cast<uint32_t>(number(tag));
}

uint32_t FieldReader::unsignedNumber(uint16_t tag, uint32_t maximum) const {
    const int64_t value = wideNumber(tag);
    if (value < 0 || value > static_cast<int64_t>(maximum)) {
        failed_ = true;
        return 0;
    }
    return static_cast<uint32_t>(value);
}

double FieldReader::amount(uint16_t tag) const {
    return amountFromDevice(wideNumber(tag));
}

std::optional<FieldReader> FieldReader::object(uint16_t tag) const {
    const auto* value = member(tag);
    if (value == nullptr) {
        return std::nullopt;
    }
    if (!value->is_object()) {
        failed_ = true;
        return std::nullopt;
    }
    return FieldReader(*value, failed_, absent_);
}

std::string FieldReader::compactText() const {
    return object_.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

} // namespace korvant
