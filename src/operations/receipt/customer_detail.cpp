#include "operations/receipt/customer_detail.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

#include "device/tag_dictionary.h"
#include "documents/date_time.h"

namespace korvant {
namespace {

// A code the register keeps in two bytes, written as decimal digits only.
std::optional<int64_t> twoByteCode(std::string_view text) {
    const bool digits = !text.empty() && std::all_of(text.begin(), text.end(),
                                                     [](char c) { return c >= '0' && c <= '9'; });
    uint32_t value = 0;
    if (!digits ||
        std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc{} ||
        value > 0xFFFF) {
        return std::nullopt;
    }
    return value;
}

// A date the register keeps as 32-bit signed seconds (14.12.1901 to 19.01.2038).
std::optional<int64_t> dateInSeconds(std::string_view text) {
    const auto seconds = ParseDottedDate(text);
    if (!seconds || *seconds < std::numeric_limits<int32_t>::min() ||
        *seconds > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    return seconds;
}

// A number member when the client gave the text; a text that is not such a
// number refuses the receipt.
void setNumberIfGiven(Request& open, uint16_t tag, std::string_view text,
                      std::optional<int64_t> (*read)(std::string_view), ReceiptUnits& units) {
    if (text.empty()) {
        return;
    }
    const auto value = read(text);
    if (!value) {
        units.refuse();
        return;
    }
    open.set(tag, *value);
}

} // namespace

void addCustomerDetail(Request& open, const CustomerDetailRecord& detail, ReceiptUnits& units) {
    open.setIfNotEmpty(tag::client_address, detail.address);
    setNumberIfGiven(open, tag::citizenship, detail.citizenship, twoByteCode, units);
    setNumberIfGiven(open, tag::client_ident_type, detail.documentTypeCode, twoByteCode, units);
    open.setIfNotEmpty(tag::client_ident_data, detail.documentData);
    setNumberIfGiven(open, tag::birth_date, detail.dateOfBirth, dateInSeconds, units);
}

} // namespace korvant
