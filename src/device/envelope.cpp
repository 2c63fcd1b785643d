#include "device/envelope.h"

#include <optional>

#include "device/field_reader.h"
#include "device/json_depth.h"
#include "device/tag_dictionary.h"

namespace korvant {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr const char* kData = "data";
// No answer of the library nests more than a few levels; one that nests deeper
// than this is no answer, and is refused before it is parsed.
constexpr size_t kDepthLimit = 32;

// A 32-bit envelope code; absent or null reads as 0.
std::optional<int32_t> envelopeCode(const nlohmann::json& document, uint16_t tag) {
    const auto found = document.find(tagName(tag));
    if (found == document.end() || found->is_null()) {
        return 0;
    }
    const auto value = integerOf(*found);
    return value ? thirtyTwoBitsOf(*value) : std::nullopt;
}

std::string_view withoutByteOrderMark(std::string_view text) {
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    return text;
}

// Follows the parser's events and keeps only what the envelope checks look at:
// the kind of the root, and the last value of "response", "extended" and
// "data" among the root's members (a repeated member counts by its last value,
// as in the parsed document).
class CodesReader {
public:
    using json = nlohmann::json;

    bool null() { return value(Kind::Null, json()); }
    bool boolean(bool v) { return value(Kind::Scalar, json(v)); }
    bool number_integer(json::number_integer_t v) { return value(Kind::Scalar, json(v)); }
    bool number_unsigned(json::number_unsigned_t v) { return value(Kind::Scalar, json(v)); }
    bool number_float(json::number_float_t v, const json::string_t&) {
        return value(Kind::Scalar, json(v));
    }
    bool string(json::string_t&) { return value(Kind::Other, json()); }
    bool binary(json::binary_t&) { return value(Kind::Other, json()); }
    bool start_object(std::size_t) { return open(Kind::Object); }
    bool start_array(std::size_t) { return open(Kind::Other); }
    bool end_object() { return close(); }
    bool end_array() { return close(); }
    bool key(json::string_t& name) {
        if (depth_ == 1) {
            member_ = name == kResponse   ? Member::Response
                      : name == kExtended ? Member::Extended
                      : name == kData     ? Member::Data
                                          : Member::Other;
        }
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) {
        return false;
    }

    // After a complete parse: the codes, or nothing when a member has the wrong type.
    std::optional<AnswerCodes> codes() const {
        if (!response_ || !extended_ || !dataUsable_) {
            return std::nullopt;
        }
        return AnswerCodes{*response_, *extended_};
    }

private:
    enum class Kind { Null, Scalar, Object, Other };
    enum class Member { Other, Response, Extended, Data };

    static constexpr std::string_view kResponse = "response";
    static constexpr std::string_view kExtended = "extended";

    bool open(Kind kind) {
        const bool carryOn = value(kind, json());
        ++depth_;
        return carryOn;
    }
    bool close() {
        --depth_;
        return true;
    }

    // A value at the current depth; only the root and its members count. A root that is not
    // an object (or null) stops the parse: such a text is no answer, whatever follows.
    bool value(Kind kind, const json& scalar) {
        if (depth_ == 0) {
            return kind == Kind::Object || kind == Kind::Null;
        }
        if (depth_ != 1) {
            return true;
        }
        switch (member_) {
        case Member::Response:
            response_ = code(kind, scalar);
            break;
        case Member::Extended:
            extended_ = code(kind, scalar);
            break;
        case Member::Data:
            dataUsable_ = kind == Kind::Object || kind == Kind::Null;
            break;
        case Member::Other:
            break;
        }
        return true;
    }

    static std::optional<int32_t> code(Kind kind, const json& scalar) {
        if (kind == Kind::Null) {
            return 0;
        }
        const auto value = kind == Kind::Scalar ? integerOf(scalar) : std::nullopt;
        return value ? thirtyTwoBitsOf(*value) : std::nullopt;
    }

    int depth_ = 0;
    Member member_ = Member::Other;
    std::optional<int32_t> response_ = 0;
    std::optional<int32_t> extended_ = 0;
    bool dataUsable_ = true;
};

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
    text = withoutByteOrderMark(text);
    // A task that ends without an answer text reads as an answer without members.
    if (text.empty()) {
        return ErrorCode::NoError;
    }
    if (nestsDeeperThan(text, kDepthLimit)) {
        return ErrorCode::ProtocolError;
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

ErrorCode readAnswerCodes(std::string_view text, AnswerCodes& out) {
    out = AnswerCodes{};
    text = withoutByteOrderMark(text);
    if (text.empty()) {
        return ErrorCode::NoError;
    }
    if (nestsDeeperThan(text, kDepthLimit)) {
        return ErrorCode::ProtocolError;
    }
    CodesReader reader;
    if (!nlohmann::json::sax_parse(text, &reader)) {
        return ErrorCode::ProtocolError;
    }
    const auto codes = reader.codes();
    if (!codes) {
        return ErrorCode::ProtocolError;
    }
    out = *codes;
    return ErrorCode::NoError;
}

} // namespace korvant
