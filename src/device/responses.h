#pragma once
// Typed views of the device library's answers. Each record is read from one
// answer text with parseResponse; when the answer has no "data" object every
// field keeps the default given here. A default is no data: a record remembers
// which of its members the answer lacked, and an operation that reports a value
// to the host asks first whether the register gave it (see lacksAny).

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/error_code.h"

namespace korvant {

struct KorvantResponse {
    KorvantResponse() = default;
    KorvantResponse(const KorvantResponse&) = default;
    KorvantResponse(KorvantResponse&&) = default;
    KorvantResponse& operator=(const KorvantResponse&) = default;
    KorvantResponse& operator=(KorvantResponse&&) = default;
    virtual ~KorvantResponse() = default;

    // True when the answer lacked (or gave null for) any of these members.
    bool lacksAny(std::initializer_list<uint16_t> tags) const;

    int32_t response = 0;
    int32_t extended = 0;
    // The tags of the members read that the answer lacked; for members of
    // nested objects (the counters), their own tags.
    std::vector<uint16_t> absent;
};

// Answer of korvant3_open.
struct KorvantResponseOpen : KorvantResponse {
    std::string serial;
    std::string version;
};

// Answer of korvant3_get_info.
struct KorvantResponseGetInfo : KorvantResponse {
    std::string serial;
    std::string version;
    int32_t flash_bank = -1;
    int32_t flash_size = 0;
    int32_t goods_count = 0;
    int32_t boot_version = 0;
    int32_t line_length = 0; // characters per printed line
};

// Bits of the register's context (dev_context of korvant3_get_state).
inline constexpr int32_t kContextFiscal = 0x100;       // registered, archive open
inline constexpr int32_t kContextDocumentOpen = 0x200; // a document awaits closing or cancelling

// Answer of korvant3_get_state.
struct KorvantResponseGetState : KorvantResponse {
    bool documentOpen() const { return (dev_context & kContextDocumentOpen) != 0; }

    int32_t dev_context = 0;
    int32_t doc_kind = -1; // kind of the open document; -1 when the register names none
    int32_t fd_mode = 0;
    int32_t fd_ext_mode = 0;
    int32_t agents = 0;
    int32_t taxcode = 0;
    std::string fd_serial;
    std::string regnum;
    std::string company_name;
    std::string company_inn;
    std::string sale_address;
    std::string sale_location;
    std::string ofd_name;
    std::string ofd_inn;
    std::string fns_site;
    std::string sender_email;
    std::string automat_number;
};

// Answer of korvant3_get_fdstate. Dates are seconds since 1970-01-01.
struct KorvantResponseGetFdState : KorvantResponse {
    std::string fd_serial;
    int32_t fd_last_doc = 0;
    int32_t fd_flags = 0;
    int32_t fd_phase = 0;
    int32_t shift_id = 0;
    int32_t shift_doc_number = 0;
    int32_t fd_shift_state = 0;
    int32_t fd_waiting = 0;
    int32_t fd_waiting_document = 0;
    int32_t fd_reg_count = 0;
    int32_t fd_reg_left = 0;
    int32_t fd_reg_document = 0;
    int32_t kkt_ffd_version = 0;
    int32_t ffd_version = 0;
    int64_t fd_last_date = 0;
    int64_t fd_waiting_date = 0;
    int64_t fd_expired = 0;
    int64_t fd_reg_date = 0;
};

// Answer of korvant3_fremu_get_money.
struct KorvantResponseGetMoney : KorvantResponse {
    double shift_cash = 0.0;      // cash in the drawer, currency units
    int64_t shift_cash_units = 0; // the same in the register's units (ten-thousandths)
};

// One receipt counter of a shift: how many receipts and their total.
struct KorvantCounter {
    int32_t count = 0;
    double total = 0.0; // currency units
};

// Final answer of a task.
struct KorvantResponseQuery : KorvantResponse {
    int64_t fd_date = 0;
    uint32_t fd_number = 0; // fiscal document numbers are unsigned 32-bit
    uint32_t fd_sign = 0;   // so is the fiscal sign
    uint16_t shift_id = 0;
    uint8_t fd_shift_state = 0;
    double shift_cash = 0.0;
    int32_t fd_waiting = 0;
    int32_t fd_waiting_document = 0;
    int64_t fd_waiting_date = 0;
    bool fd_error = false;
    bool fd_fail = false;
    bool fd_overflow = false;
    KorvantCounter sales;
    KorvantCounter buys;
    KorvantCounter sales_return;
    KorvantCounter buys_return;
    KorvantCounter sales_correction;
    KorvantCounter buys_correction;
};

// Read an answer text into a record. Malformed JSON, an answer that is not an
// object or a member of the wrong type gives ProtocolError and leaves the
// record at its defaults. An empty text reads as an answer without "data".
ErrorCode parseResponse(std::string_view text, KorvantResponseOpen& out);
ErrorCode parseResponse(std::string_view text, KorvantResponseGetInfo& out);
ErrorCode parseResponse(std::string_view text, KorvantResponseGetState& out);
ErrorCode parseResponse(std::string_view text, KorvantResponseGetFdState& out);
ErrorCode parseResponse(std::string_view text, KorvantResponseGetMoney& out);
ErrorCode parseResponse(std::string_view text, KorvantResponseQuery& out);

// An unsigned 32-bit member of an answer's data, such as the last fiscal
// document's number ("fd_number") or fiscal sign ("fd_sign"); nothing when the
// answer has no such member or it cannot be read.
std::optional<uint32_t> unsignedMember(std::string_view answer, uint16_t tag);
// A 64-bit member of an answer's data, such as the drawer's cash ("shift_cash")
// in the register's units; nothing as for unsignedMember.
std::optional<int64_t> wideMember(std::string_view answer, uint16_t tag);

} // namespace korvant
