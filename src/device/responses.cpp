#include "device/responses.h"

#include <algorithm>

#include "config/log.h"
#include "device/envelope.h"
#include "device/field_reader.h"
#include "device/tag_dictionary.h"
#include "device/units.h"

namespace korvant {

namespace {

void readData(const FieldReader& data, KorvantResponseOpen& out) {
    out.serial = data.text(tag::serial);
    out.version = data.text(tag::version);
}

void readData(const FieldReader& data, KorvantResponseGetInfo& out) {
    out.serial = data.text(tag::serial);
    out.version = data.text(tag::version);
    out.flash_bank = data.number(tag::flash_bank);
    out.flash_size = data.number(tag::flash_size);
    out.goods_count = data.number(tag::goods_count);
    out.boot_version = data.number(tag::boot_version);
    out.line_length = data.number(tag::line_length);
}

void readData(const FieldReader& data, KorvantResponseGetState& out) {
    KORVANT_LOG("KorvantResponseGetState::KorvantResponseGetState", data.compactText());
    out.dev_context = data.number(tag::dev_context);
    if (data.has(tag::doc_kind)) {
        out.doc_kind = data.number(tag::doc_kind);
    }
    out.fd_mode = data.number(tag::fd_mode);
    out.fd_ext_mode = data.number(tag::fd_ext_mode);
    out.agents = data.number(tag::agents);
    out.taxcode = data.number(tag::taxcode);
    out.fd_serial = data.text(tag::fd_serial);
    out.regnum = data.text(tag::regnum);
    out.company_name = data.text(tag::company_name);
    out.company_inn = data.text(tag::company_inn);
    out.sale_address = data.text(tag::sale_address);
    out.sale_location = data.text(tag::sale_location);
    out.ofd_name = data.text(tag::ofd_name);
    out.ofd_inn = data.text(tag::ofd_inn);
    out.fns_site = data.text(tag::fns_site);
    out.sender_email = data.text(tag::sender_email);
    out.automat_number = data.text(tag::automat_number);
}

void readData(const FieldReader& data, KorvantResponseGetFdState& out) {
    out.fd_serial = data.text(tag::fd_serial);
    out.fd_last_doc = static_cast<int32_t>(data.unsignedNumber(tag::fd_last_doc));
    out.fd_flags = data.number(tag::fd_flags);
    out.fd_phase = data.number(tag::fd_phase);
    out.shift_id = static_cast<int32_t>(data.unsignedNumber(tag::shift_id, UINT16_MAX));
    out.shift_doc_number = static_cast<int32_t>(data.unsignedNumber(tag::shift_doc_number));
    out.fd_shift_state = data.number(tag::fd_shift_state);
    out.fd_waiting = data.number(tag::fd_waiting);
    out.fd_waiting_document = static_cast<int32_t>(data.unsignedNumber(tag::fd_waiting_document));
    out.fd_reg_count = data.number(tag::fd_reg_count);
    out.fd_reg_left = data.number(tag::fd_reg_left);
    out.fd_reg_document = static_cast<int32_t>(data.unsignedNumber(tag::fd_reg_document));
    out.kkt_ffd_version = data.number(tag::kkt_ffd_version);
    out.ffd_version = data.number(tag::ffd_version);
    out.fd_last_date = data.date(tag::fd_last_date);
    out.fd_waiting_date = data.date(tag::fd_waiting_date);
    out.fd_expired = data.date(tag::fd_expired);
    out.fd_reg_date = data.date(tag::fd_reg_date);
}

void readData(const FieldReader& data, KorvantResponseGetMoney& out) {
    out.shift_cash_units = data.wideNumber(tag::shift_cash);
    out.shift_cash = amountFromDevice(out.shift_cash_units);
}

KorvantCounter readCounter(const FieldReader& data, uint16_t counterTag) {
    const auto counter = data.object(counterTag);
    if (!counter) {
        return {};
    }
    return {counter->number(tag::check_count), counter->amount(tag::check_total)};
}

void readData(const FieldReader& data, KorvantResponseQuery& out) {
    out.fd_date = data.date(tag::fd_date);
    out.fd_number = data.unsignedNumber(tag::fd_number);
    out.fd_sign = data.unsignedNumber(tag::fd_sign);
    out.shift_id = static_cast<uint16_t>(data.unsignedNumber(tag::shift_id, UINT16_MAX));
    out.fd_shift_state = static_cast<uint8_t>(data.unsignedNumber(tag::fd_shift_state, UINT8_MAX));
    out.shift_cash = data.amount(tag::shift_cash);
    out.fd_waiting = data.number(tag::fd_waiting);
    out.fd_waiting_document = static_cast<int32_t>(data.unsignedNumber(tag::fd_waiting_document));
    out.fd_waiting_date = data.date(tag::fd_waiting_date);
    out.fd_error = data.flag(tag::fd_error);
    out.fd_fail = data.flag(tag::fd_fail);
    out.fd_overflow = data.flag(tag::fd_overflow);
    out.sales = readCounter(data, tag::sales);
    out.buys = readCounter(data, tag::buys);
    out.sales_return = readCounter(data, tag::sales_return);
    out.buys_return = readCounter(data, tag::buys_return);
    out.sales_correction = readCounter(data, tag::sales_correction);
    out.buys_correction = readCounter(data, tag::buys_correction);
}

template <typename Record> ErrorCode parseRecord(std::string_view text, Record& out) {
    out = Record{};
    AnswerEnvelope envelope;
    if (const auto code = parseEnvelope(text, envelope); code != ErrorCode::NoError) {
        return code;
    }
    out.response = envelope.response;
    out.extended = envelope.extended;
    bool failed = false;
    if (const auto* data = envelope.data()) {
        readData(FieldReader(*data, failed, &out.absent), out);
    } else {
        // Without data every member is absent, and the record keeps its defaults.
        static const nlohmann::json kNoData = nlohmann::json::object();
        Record unread;
        readData(FieldReader(kNoData, failed, &out.absent), unread);
    }
    if (failed) {
        out = Record{};
        return ErrorCode::ProtocolError;
    }
    return ErrorCode::NoError;
}

} // namespace

bool KorvantResponse::lacksAny(std::initializer_list<uint16_t> tags) const {
    for (const uint16_t tag : tags) {
        if (std::find(absent.begin(), absent.end(), tag) != absent.end()) {
            return true;
        }
    }
    return false;
}

ErrorCode parseResponse(std::string_view text, KorvantResponseOpen& out) {
    return parseRecord(text, out);
}
ErrorCode parseResponse(std::string_view text, KorvantResponseGetInfo& out) {
    return parseRecord(text, out);
}
ErrorCode parseResponse(std::string_view text, KorvantResponseGetState& out) {
    return parseRecord(text, out);
}
ErrorCode parseResponse(std::string_view text, KorvantResponseGetFdState& out) {
    return parseRecord(text, out);
}
ErrorCode parseResponse(std::string_view text, KorvantResponseGetMoney& out) {
    return parseRecord(text, out);
}
ErrorCode parseResponse(std::string_view text, KorvantResponseQuery& out) {
    return parseRecord(text, out);
}

namespace {

// One member of an answer's data read by `read`; nothing when the answer has no
// such member or it cannot be read.
template <typename Value, typename Read>
std::optional<Value> memberOf(std::string_view answer, uint16_t tag, Read read) {
    AnswerEnvelope envelope;
    if (parseEnvelope(answer, envelope) != ErrorCode::NoError) {
        return std::nullopt;
    }
    const auto* data = envelope.data();
    if (data == nullptr) {
        return std::nullopt;
    }
    bool failed = false;
    const FieldReader fields(*data, failed);
    if (!fields.has(tag)) {
        return std::nullopt;
    }
    const Value value = read(fields);
    return failed ? std::nullopt : std::optional<Value>(value);
}

} // namespace

std::optional<uint32_t> unsignedMember(std::string_view answer, uint16_t tag) {
    return memberOf<uint32_t>(
        answer, tag, [tag](const FieldReader& fields) { return fields.unsignedNumber(tag); });
}

std::optional<int64_t> wideMember(std::string_view answer, uint16_t tag) {
    return memberOf<int64_t>(answer, tag,
                             [tag](const FieldReader& fields) { return fields.wideNumber(tag); });
}

} // namespace korvant
