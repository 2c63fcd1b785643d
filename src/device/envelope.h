#pragma once
// The envelope of every answer of the device library: "response" (R),
// "extended" (E) and the "data" object with the operation's fields.

#include <cstdint>
#include <string_view>

#include <nlohmann/json.hpp>

#include "device/error_code.h"

namespace korvant {

struct AnswerEnvelope {
    nlohmann::json document;
    int32_t response = 0;
    int32_t extended = 0;

    // The "data" object, or null when the answer has none.
    const nlohmann::json* data() const;
};

// Reads an answer text; a leading UTF-8 byte-order mark is skipped. An empty
// text is an answer with no members. Text that is not JSON, that is not an
// object, or whose "response", "extended" or "data" has the wrong type, or a
// code that needs more than 32 bits, or that nests implausibly deep, gives
// ProtocolError.
ErrorCode parseEnvelope(std::string_view text, AnswerEnvelope& out);

struct AnswerCodes {
    int32_t response = 0;
    int32_t extended = 0;
};

// The codes of an answer, with exactly the checks of parseEnvelope, but read
// as the text goes by instead of building the document: most answers (every
// task start and poll) matter only by their codes, and building their members
// would be most of the driver's own cost per call.
ErrorCode readAnswerCodes(std::string_view text, AnswerCodes& out);

} // namespace korvant
