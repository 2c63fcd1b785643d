#include "device/envelope.h"

#include <optional>

#include "device/field_reader.h"
#include "device/tag_dictionary.h"

namespace korvant {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr const char* kData = "data";

// A 32-bit envelope code; absent or null reads as 0.
std::optional<int32_t> envelopeCode(const nlohmann::json& document, uint16_t tag) {
    const auto found = document.find(tagName(tag));
    if (found == document.end() || found->is_null()) {
        return 0;
    }
    const auto value = integerOf(*found);
    if (!value) {
        return std::nullopt;
    }
    return static_cast<int32_t>(*value);
}

} // namespace

const nlohmann::json* AnswerEnvelope::data() const {
    if (!document.is_object()) {
        return nullptr;
    }
    const auto found = document.find(kData);
    return found == document.end() || found->is_null() ? nullptr : &*found;
}

ErrorCode parseEnvelope(std::string_view text, AnswerEnvelope& out) {
    out = AnswerEnvelope{};
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    // A task that ends without an answer text reads as an answer without members.
    if (text.empty()) {
        return ErrorCode::NoError;
    }
    auto document = nlohmann::json::parse(text, nullptr, false);
    if (document.is_discarded() || !(document.is_object() || document.is_null())) {
        return ErrorCode::ProtocolError;
    }
    if (document.is_null()) {
        return ErrorCode::NoError;
    }
    const auto response = envelopeCode(document, tag::response);
    const auto extended = envelopeCode(document, tag::extended);
    if (!response || !extended) {
        return ErrorCode::ProtocolError;
    }
    out.document = std::move(document);
    out.response = *response;
    out.extended = *extended;
    const auto* data = out.data();
    if (data != nullptr && !data->is_object()) {
        out = AnswerEnvelope{};
        return ErrorCode::ProtocolError;
    }
    return ErrorCode::NoError;
}

} // namespace korvant
