// Every answer record read from arbitrary answer text, the verdict of every
// answer table on it, and the output documents written from the records.
#include "device/envelope.h"
#include "device/responses.h"
#include "device/result_codes.h"
#include "document_checks.h"
#include "operations/receipt/issue_receipt.h"
#include "operations/shift_report.h"

namespace korvant::fuzz {
namespace {

// A record either reads (NoError) or is refused as a protocol error and keeps
// its defaults.
template <typename Record> bool readRecord(std::string_view text, Record& record) {
    const ErrorCode code = parseResponse(text, record);
    require(code == ErrorCode::NoError || code == ErrorCode::ProtocolError,
            "an answer reads or is a protocol error");
    if (code != ErrorCode::NoError) {
        require(record.response == 0 && record.extended == 0, "a refused answer keeps defaults");
    }
    return code == ErrorCode::NoError;
}

void checkTexts(std::initializer_list<const std::string*> texts) {
    for (const std::string* text : texts) {
        requireUtf8(*text, "answer texts are UTF-8");
    }
}

void checkQuery(std::string_view text) {
    KorvantResponseQuery query;
    if (!readRecord(text, query)) {
        require(query.fd_date == 0 && query.sales.count == 0, "a refused answer keeps defaults");
        return;
    }
    OutputParametersDocument shift;
    writeShiftDocument(shift, query);
    shift.setAmount(output_attr::CashBalance, query.shift_cash);
    writeBacklog(shift, query.fd_waiting, query.fd_waiting_document, query.fd_waiting_date);
    writeShiftCounters(shift, query);
    requireWellFormed(shift.text(), "a shift document is well-formed");

    // The receipt's document from what a closing's answer names, and from a document whose sign
    // and date the register could not tell.
    const auto made = madeDocumentOf(query);
    for (const MadeDocument& document :
         {made.value_or(MadeDocument{}), MadeDocument{query.shift_id, query.fd_number, {}, {}}}) {
        OutputParametersDocument receipt(kDocumentOutputParametersRoot);
        writeReceiptOutput(receipt, document);
        requireWellFormed(receipt.text(), "a receipt document is well-formed");
    }
}

void checkFdState(std::string_view text) {
    KorvantResponseGetFdState state;
    if (!readRecord(text, state)) {
        return;
    }
    checkTexts({&state.fd_serial});
    OutputParametersDocument status;
    status.setShiftState(state.fd_shift_state);
    writeBacklog(status, state.fd_waiting, state.fd_waiting_document, state.fd_waiting_date);
    status.setDateTime(output_attr::DateTime, state.fd_reg_date);
    requireWellFormed(status.text(), "a status document is well-formed");
}

void checkOthers(std::string_view text) {
    KorvantResponseOpen opened;
    if (readRecord(text, opened)) {
        checkTexts({&opened.serial, &opened.version});
    }
    KorvantResponseGetInfo info;
    if (readRecord(text, info)) {
        checkTexts({&info.serial, &info.version});
    }
    KorvantResponseGetState state;
    if (readRecord(text, state)) {
        checkTexts({&state.fd_serial, &state.regnum, &state.company_name, &state.company_inn,
                    &state.sale_address, &state.sale_location, &state.ofd_name, &state.ofd_inn,
                    &state.fns_site, &state.sender_email, &state.automat_number});
    }
    KorvantResponseGetMoney money;
    readRecord(text, money);
}

void checkVerdicts(std::string_view text) {
    AnswerEnvelope envelope;
    if (parseEnvelope(text, envelope) != ErrorCode::NoError) {
        return;
    }
    for (const auto mapping : {AnswerMapping::TaskStart, AnswerMapping::TaskEnd,
                               AnswerMapping::Status, AnswerMapping::FiscalMode}) {
        const Verdict verdict = mapAnswer(mapping, envelope.response, envelope.extended);
        const auto code = static_cast<int32_t>(verdict.code);
        require(code >= 0 && code <= 15, "a verdict is a known error code");
        require(verdict.next != Next::PollAgain || mapping == AnswerMapping::TaskEnd,
                "only a poll answer asks for another poll");
    }
}

} // namespace
} // namespace korvant::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace korvant::fuzz;
    const std::string_view text = asText(data, size);
    checkQuery(text);
    checkFdState(text);
    checkOthers(text);
    checkVerdicts(text);
    return 0;
}
