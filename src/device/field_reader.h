#pragma once
// Typed reading of the members of an answer's JSON object, by tag. A member
// that is absent or null reads as its default, and is noted as absent so that
// a caller for whom a default is no data can tell. A member of another type than
// the one read marks the whole answer as malformed instead of throwing.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace korvant {

// A JSON number or boolean as a 64-bit integer: true and false give 1 and 0, a
// floating value is truncated toward zero. Nothing for other types and for
// values beyond the 64-bit range.
std::optional<int64_t> integerOf(const nlohmann::json& value);

// The same for a member of an answer's data, which holds a whole number or
// nothing: a floating value is taken only when it is whole (3.0), never cut
// (1.5 is no count, no document number, no sum).
std::optional<int64_t> wholeNumberOf(const nlohmann::json& value);

// A 32-bit value as the register sends it, signed or unsigned: its low 32 bits,
// or nothing when it needs more than 32 bits.
std::optional<int32_t> thirtyTwoBitsOf(int64_t value);

class FieldReader {
public:
    // `failed` is set when a member has the wrong type; it is shared with the
    // readers of nested objects, and so is `absent`, which gathers the tags of
    // the members read that were absent or null.
    FieldReader(const nlohmann::json& object, bool& failed, std::vector<uint16_t>* absent = nullptr)
        : object_(object), failed_(failed), absent_(absent) {}

    // Whether the member is there (and not null).
    bool has(uint16_t tag) const { return find(tag) != nullptr; }
    std::string text(uint16_t tag) const;
    // A 32-bit integer, signed or unsigned on the wire (its low 32 bits); a
    // value that needs more bits is malformed, never silently cut.
    int32_t number(uint16_t tag) const;
    // An unsigned 32-bit number (a document number, a fiscal sign): its 32 bits,
    // whether the register writes it unsigned (3000000000) or signed
    // (-1294967296, the same bits); a value outside both ranges is malformed.
    uint32_t unsignedNumber(uint16_t tag) const;
    // A narrower unsigned number (a shift number, a shift state): 0 to `maximum`,
    // anything else is malformed.
    uint32_t unsignedNumber(uint16_t tag, uint32_t maximum) const;
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
    // The member, or null (noted as absent) when it is absent or null.
    const nlohmann::json* member(uint16_t tag) const;
    const nlohmann::json* find(uint16_t tag) const;

    const nlohmann::json& object_;
    bool& failed_;
    std::vector<uint16_t>* absent_;
};

} // namespace korvant
