#pragma once
// Typed reading of the members of an answer's JSON object, by tag. A member
// that is absent or null reads as its default. A member of another type than
// the one read marks the whole answer as malformed instead of throwing.

#include <cstdint>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

namespace korvant {

// A JSON number or boolean as a 64-bit integer: true and false give 1 and 0, a
// floating value is truncated toward zero. Nothing for other types and for
// floating values beyond the 64-bit range.
std::optional<int64_t> integerOf(const nlohmann::json& value);

class FieldReader {
public:
    // `failed` is set when a member has the wrong type; it is shared with the
    // readers of nested objects.
    FieldReader(const nlohmann::json& object, bool& failed) : object_(object), failed_(failed) {}

    std::string text(uint16_t tag) const;
    // 32-bit integer; wider values keep their low 32 bits.
    int32_t number(uint16_t tag) const;
    int64_t wideNumber(uint16_t tag) const;
    // Seconds since 1970-01-01, sent as a 32-bit number and sign-extended.
    int64_t date(uint16_t tag) const { return number(tag); }
    // An amount in ten-thousandths as a double in currency units.
    double amount(uint16_t tag) const;
    // True when the member is non-zero.
    bool flag(uint16_t tag) const { return number(tag) != 0; }
    // A nested object; nothing when absent.
    std::optional<FieldReader> object(uint16_t tag) const;

    // The object written compactly, for the log.
    std::string compactText() const;

private:
    const nlohmann::json* member(uint16_t tag) const;

    const nlohmann::json& object_;
    bool& failed_;
};

} // namespace korvant
