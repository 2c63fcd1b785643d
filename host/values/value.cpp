#include "host/values/value.h"

#include "host/values/script_notation.h"
#include "nativeapi/utf.h"

#include <array>
#include <ostream>
#include <utility>

namespace korvant::host {
namespace {

struct TypeNameEntry {
    VType type;
    std::string_view name;
};

constexpr std::array<TypeNameEntry, 25> kTypeNames{{
    {VType::Empty, "EMPTY"},     {VType::Null, "NULL"},
    {VType::I2, "I2"},           {VType::I4, "I4"},
    {VType::R4, "R4"},           {VType::R8, "R8"},
    {VType::Date, "DATE"},       {VType::Tm, "TM"},
    {VType::PStr, "PSTR"},       {VType::Interface, "INTERFACE"},
    {VType::Error, "ERROR"},     {VType::Bool, "BOOL"},
    {VType::Variant, "VARIANT"}, {VType::I1, "I1"},
    {VType::UI1, "UI1"},         {VType::UI2, "UI2"},
    {VType::UI4, "UI4"},         {VType::I8, "I8"},
    {VType::UI8, "UI8"},         {VType::Int, "INT"},
    {VType::UInt, "UINT"},       {VType::HResult, "HRESULT"},
    {VType::PWStr, "PWSTR"},     {VType::Blob, "BLOB"},
    {VType::Clsid, "CLSID"},
}};

} // namespace

Value Value::integral(Type type, int64_t number) {
    Value v = ofType(type);
    v.integer = number;
    return v;
}

Value Value::r4(float number) {
    Value v = ofType(Type::R4);
    v.real = number;
    return v;
}

Value Value::r8(double number) {
    Value v = ofType(Type::R8);
    v.real = number;
    return v;
}

Value Value::boolean(bool flag) {
    Value v = ofType(Type::Bool);
    v.flag = flag;
    return v;
}

Value Value::pstr(std::string bytes) {
    Value v = ofType(Type::PStr);
    v.narrow = std::move(bytes);
    return v;
}

Value Value::pwstr(std::u16string text) {
    Value v = ofType(Type::PWStr);
    v.wide = std::move(text);
    return v;
}

Value Value::text(std::string_view utf8) {
    return pwstr(utf8ToUtf16(utf8));
}

std::string Value::utf8() const {
    if (type == Type::PWStr) {
        return utf16ToUtf8(wide);
    }
    if (type == Type::PStr) {
        return narrow;
    }
    return {};
}

std::string typeName(VType type) {
    for (const auto& entry : kTypeNames) {
        if (entry.type == type) {
            return std::string(entry.name);
        }
    }
    return "VT_" + std::to_string(static_cast<unsigned>(type));
}

std::optional<VType> typeFromName(std::string_view name) {
    for (const auto& entry : kTypeNames) {
        if (entry.name == name) {
            return entry.type;
        }
    }
    return std::nullopt;
}

std::ostream& operator<<(std::ostream& out, const Value& value) {
    return out << dumpJson(toNotation(value));
}

} // namespace korvant::host
