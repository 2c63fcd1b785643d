#include "host/values/script_notation.h"

#include "nativeapi/utf.h"

#include <cstdint>
#include <limits>

namespace korvant::host {
namespace {

[[noreturn]] void fail(std::string_view where, const std::string& message) {
    throw ScriptError(std::string(where) + ": " + message);
}

struct IntegerRange {
    int64_t minimum;
    uint64_t maximum;
};

template <class T> constexpr IntegerRange rangeOf() {
    return {static_cast<int64_t>(std::numeric_limits<T>::min()),
            static_cast<uint64_t>(std::numeric_limits<T>::max())};
}

std::optional<IntegerRange> integerRange(VType type) {
    switch (type) {
    case VType::I1:
        return rangeOf<int8_t>();
    case VType::I2:
        return rangeOf<int16_t>();
    case VType::I4:
    case VType::Error:
        return rangeOf<int32_t>();
    case VType::Int:
        return rangeOf<int>();
    case VType::I8:
        return rangeOf<int64_t>();
    case VType::HResult:
        return rangeOf<long>();
    case VType::UI1:
        return rangeOf<uint8_t>();
    case VType::UI2:
        return rangeOf<uint16_t>();
    case VType::UI4:
        return rangeOf<uint32_t>();
    case VType::UInt:
        return rangeOf<unsigned int>();
    case VType::UI8:
        return rangeOf<uint64_t>();
    default:
        return std::nullopt;
    }
}

bool isReal(VType type) {
    return type == VType::R4 || type == VType::R8 || type == VType::Date;
}

Value integralFromJson(VType type, const IntegerRange& range, const Json& value,
                       std::string_view where) {
    const std::string outOfRange = "the value is out of range for " + typeName(type);
    if (value.is_number_unsigned()) {
        const auto number = value.get<uint64_t>();
        if (number > range.maximum) {
            fail(where, outOfRange);
        }
        return Value::integral(type, static_cast<int64_t>(number));
    }
    if (value.is_number_integer()) {
        const auto number = value.get<int64_t>();
        if (number < range.minimum ||
            (number > 0 && static_cast<uint64_t>(number) > range.maximum)) {
            fail(where, outOfRange);
        }
        return Value::integral(type, number);
    }
    fail(where, typeName(type) + " needs an integer value");
}

Value explicitFromJson(const Json& notation, std::string_view where) {
    for (const auto& [key, member] : notation.items()) {
        if (key != "type" && key != "value") {
            fail(where, "unexpected member \"" + key +
                            "\" (a typed value has \"type\" and "
                            "\"value\")");
        }
    }
    const auto& typeMember = notation.at("type");
    if (!typeMember.is_string()) {
        fail(where, "\"type\" must be a type name such as \"I4\" or \"PWSTR\"");
    }
    const auto name = typeMember.get<std::string>();
    const auto type = typeFromName(name);
    if (!type) {
        fail(where, "unknown type \"" + name + "\"");
    }
    const Json value = notation.contains("value") ? notation.at("value") : Json();
    if (const auto range = integerRange(*type)) {
        return integralFromJson(*type, *range, value, where);
    }
    if (isReal(*type)) {
        if (!value.is_number()) {
            fail(where, name + " needs a number value");
        }
        Value v = Value::ofType(*type);
        v.real = *type == VType::R4 ? static_cast<float>(value.get<double>()) : value.get<double>();
        return v;
    }
    switch (*type) {
    case VType::Empty:
    case VType::Null:
        if (!value.is_null()) {
            fail(where, name + " takes no value");
        }
        return Value::ofType(*type);
    case VType::Bool:
        if (!value.is_boolean()) {
            fail(where, "BOOL needs true or false");
        }
        return Value::boolean(value.get<bool>());
    case VType::PStr:
        if (!value.is_string()) {
            fail(where, "PSTR needs a string value");
        }
        return Value::pstr(value.get<std::string>());
    case VType::PWStr:
        if (!value.is_string()) {
            fail(where, "PWSTR needs a string value");
        }
        return Value::text(value.get<std::string>());
    default:
        fail(where, "a value of type " + name + " cannot be written in a script");
    }
}

} // namespace

Json toNotation(const Value& value) {
    switch (value.type) {
    case VType::Empty:
        return nullptr;
    case VType::PWStr:
        return utf16ToUtf8(value.wide);
    default:
        break;
    }
    Json typed;
    typed["type"] = typeName(value.type);
    if (value.type == VType::UI8) {
        typed["value"] = value.unsignedInteger();
    } else if (integerRange(value.type)) {
        typed["value"] = value.integer;
    } else if (isReal(value.type)) {
        typed["value"] = value.real;
    } else if (value.type == VType::Bool) {
        typed["value"] = value.flag;
    } else if (value.type == VType::PStr) {
        typed["value"] = sanitizeUtf8(value.narrow);
    } else {
        typed["value"] = nullptr;
    }
    return typed;
}

Value fromNotation(const Json& notation, std::string_view where) {
    switch (notation.type()) {
    case Json::value_t::null:
        return Value::empty();
    case Json::value_t::boolean:
        return Value::boolean(notation.get<bool>());
    case Json::value_t::string:
        return Value::text(notation.get<std::string>());
    case Json::value_t::number_integer:
    case Json::value_t::number_unsigned:
        return integralFromJson(VType::I4, rangeOf<int32_t>(), notation, where);
    case Json::value_t::number_float:
        return Value::r8(notation.get<double>());
    case Json::value_t::object:
        if (!notation.contains("type")) {
            fail(where, "an object value needs a \"type\"");
        }
        return explicitFromJson(notation, where);
    default:
        fail(where, "a value is a string, a number, true, false, null or "
                    "{\"type\": ..., \"value\": ...}");
    }
}

std::string dumpJson(const Json& json) {
    return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

} // namespace korvant::host
