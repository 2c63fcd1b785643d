#include "library/answers.h"

#include "device/tag_dictionary.h"
#include "protocol/request.h"

namespace korvant3emu {
namespace {

using nlohmann::json;
namespace tag = korvant::tag;

// Context bits: a register in fiscal mode, and one holding an open document
// (a receipt, correction or cash document that was neither closed nor cancelled).
constexpr int64_t kFiscalContext = 0x100;
constexpr int64_t kDocumentContext = 0x200;
// Phases of the fiscal storage's life.
constexpr int64_t kPhaseReady = 1;
constexpr int64_t kPhaseFiscal = 3;
constexpr int64_t kPhaseArchiveClosed = 7;
// Versions of the fiscal data format, as the register codes them.
constexpr int64_t kRegisterFormat = 2;
constexpr int64_t kStorageFormat = 2;
// A fiscal storage serves about three years from its registration.
constexpr int64_t kStorageLifeSeconds = int64_t(1095) * 24 * 60 * 60;

int64_t storagePhase(const FiscalState& state) {
    if (state.archive_closed) {
        return kPhaseArchiveClosed;
    }
    return state.registered ? kPhaseFiscal : kPhaseReady;
}

} // namespace

json envelope(int32_t response, int32_t extended, json data) {
    return {
        {key(tag::response), response}, {key(tag::extended), extended}, {"data", std::move(data)}};
}

json failureAnswer(int32_t response, int32_t extended, const std::string& message) {
    return envelope(response, extended, {{"message", message}});
}

json openData(const FiscalRegister& device) {
    return {{key(tag::serial), device.identity().serial},
            {key(tag::version), device.identity().firmware_version}};
}

json infoData(const FiscalRegister& device) {
    json data = openData(device);
    data[key(tag::flash_bank)] = 0;
    data[key(tag::flash_size)] = 8192;
    data[key(tag::goods_count)] = 0;
    data[key(tag::boot_version)] = 0x00010002;
    data[key(tag::line_length)] = device.identity().line_length;
    return data;
}

json stateData(const FiscalRegister& device, bool showDocument) {
    const FiscalState& state = device.state();
    json data = toJson(device.fiscal() ? state.registration : Registration{});
    const OpenDocument* document =
        showDocument && device.document() ? &*device.document() : nullptr;
    data[key(tag::dev_context)] =
        (device.fiscal() ? kFiscalContext : 0) | (document ? kDocumentContext : 0);
    if (document) {
        data[key(tag::doc_kind)] = static_cast<int64_t>(document->kind);
    }
    data[key(tag::fd_serial)] = state.fn_serial;
    data[key(tag::date_time)] = device.now();
    return data;
}

json fdStateData(const FiscalRegister& device) {
    const FiscalState& state = device.state();
    const int64_t expires = state.registered ? state.reg_date + kStorageLifeSeconds : 0;
    return {
        {key(tag::fd_serial), state.fn_serial},
        {key(tag::fd_last_doc), state.last.number},
        {key(tag::fd_flags), 0},
        {key(tag::fd_phase), storagePhase(state)},
        {key(tag::shift_id), state.shift.id},
        {key(tag::shift_doc_number), state.shift.doc_number},
        {key(tag::fd_shift_state), device.shiftState()},
        {key(tag::fd_waiting), state.backlog.count},
        {key(tag::fd_waiting_document), state.backlog.first_document},
        {key(tag::fd_reg_count), state.reg_count},
        {key(tag::fd_reg_left), kRegistrationLimit - state.reg_count},
        {key(tag::fd_reg_document), state.reg_document},
        {key(tag::kkt_ffd_version), kRegisterFormat},
        {key(tag::ffd_version), kStorageFormat},
        {key(tag::fd_last_date), state.last.date},
        {key(tag::fd_waiting_date), state.backlog.first_date},
        {key(tag::fd_expired), expires},
        {key(tag::fd_reg_date), state.reg_date},
    };
}

json moneyData(const FiscalRegister& device) {
    return {{key(tag::shift_cash), device.state().cash}};
}

json closingData(const FiscalRegister& device) {
    const FiscalState& state = device.state();
    json data = {
        {key(tag::fd_date), state.last.date},
        {key(tag::fd_number), state.last.number},
        {key(tag::fd_sign), state.last.sign},
        {key(tag::shift_id), state.shift.id},
        {key(tag::fd_shift_state), device.shiftState()},
        {key(tag::shift_doc_number), state.shift.doc_number},
        {key(tag::shift_cash), state.cash},
        {key(tag::fd_waiting), state.backlog.count},
        {key(tag::fd_waiting_document), state.backlog.first_document},
        {key(tag::fd_waiting_date), state.backlog.first_date},
        {key(tag::fd_error), 0},
        {key(tag::fd_fail), 0},
        {key(tag::fd_overflow), 0},
    };
    for (size_t i = 0; i < kCounterGroups; ++i) {
        data[key(counterTag(i))] = {{key(tag::check_count), state.counters[i].check_count},
                                    {key(tag::check_total), state.counters[i].check_total}};
    }
    return data;
}

std::optional<json> tagValue(const FiscalRegister& device, uint16_t number) {
    const std::string name = key(number);
    if (name.empty()) {
        return std::nullopt;
    }
    for (const json& data : {closingData(device), fdStateData(device), stateData(device),
                             infoData(device), moneyData(device)}) {
        if (data.contains(name)) {
            return data[name];
        }
    }
    return std::nullopt;
}

} // namespace korvant3emu
