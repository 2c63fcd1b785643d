#pragma once
// A host-side value: what a host passes to a method or reads back from it, independent of the
// binary layout. Converted to and from the interface's Variant by value_variant.h and to and
// from the script notation by script_notation.h.

#include "host/abi/abi.h"

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace korvant::host {

struct Value {
    using Type = VType;

    Type type = Type::Empty;
    int64_t integer = 0; // every integer type, ERROR and HRESULT; UI8 kept bit for bit
    double real = 0;     // R4, R8, DATE
    bool flag = false;   // BOOL
    std::string narrow;  // PSTR: the bytes as they are
    std::u16string wide; // PWSTR

    static Value empty() { return {}; }
    static Value ofType(Type type) {
        Value v;
        v.type = type;
        return v;
    }
    static Value integral(Type type, int64_t number);
    static Value i2(int16_t number) { return integral(Type::I2, number); }
    static Value i4(int32_t number) { return integral(Type::I4, number); }
    static Value uint(unsigned int number) { return integral(Type::UInt, number); }
    static Value r4(float number);
    static Value r8(double number);
    static Value boolean(bool flag);
    static Value pstr(std::string bytes);
    static Value pwstr(std::u16string text);
    // A PWSTR holding the UTF-16 form of a UTF-8 text.
    static Value text(std::string_view utf8);

    bool isText() const { return type == Type::PWStr || type == Type::PStr; }
    // The text of a PWSTR (as UTF-8) or a PSTR (its bytes); empty for other types.
    std::string utf8() const;
    // UI8 values read as unsigned.
    uint64_t unsignedInteger() const { return static_cast<uint64_t>(integer); }

    bool operator==(const Value&) const = default;
};

// Names of the type codes as the script notation writes them ("PWSTR", "I4", ...); codes outside
// the table are written "VT_<code>".
std::string typeName(VType type);
std::optional<VType> typeFromName(std::string_view name);

// Prints the value in the script notation (used by test failure messages).
std::ostream& operator<<(std::ostream& out, const Value& value);

} // namespace korvant::host
