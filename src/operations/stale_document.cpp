#include "operations/stale_document.h"

#include <string>

#include "config/log.h"
#include "device/responses.h"
#include "operations/document_record.h"

namespace korvant {

bool cancelStaleDocument(ComponentState& state, const DeviceSession& device,
                         std::string_view operation) {
    constexpr const char* kWhere = "AddInKorvant::cancelStaleDocument";
    KorvantResponseGetState registerState;
    if (device.library.getState(device.handle, registerState) != ErrorCode::NoError ||
        !registerState.documentOpen()) {
        return false;
    }
    DocumentRecords records(state);
    const auto record = records.read();
    if (filledByAnotherProcess(record)) {
        KORVANT_LOG(kWhere, "the register holds a document (kind ", registerState.doc_kind,
                    ") that process ", record->process.id,
                    " of this machine is filling: left alone before ", operation);
        return false;
    }
    const ErrorCode cancelled = device.library.cancelDoc(device.handle);
    if (cancelled != ErrorCode::NoError) {
        KORVANT_LOG(kWhere, "the register holds an open document (kind ", registerState.doc_kind,
                    ") that could not be cancelled before ", operation, ": code ",
                    static_cast<int32_t>(cancelled));
        return false;
    }
    KORVANT_LOG(kWhere, "cancelled a document (kind ", registerState.doc_kind,
                ") left open in the register, before ", operation);
    // Its record goes with it: a closing left unsettled did not make it. (This
    // process's own mark, written for the document it is about to open, stays.)
    const bool ownMark = record && record->active && record->process == currentProcess();
    if (record && !ownMark) {
        if (record->closing) {
            KORVANT_LOG(kWhere, "the closing left unsettled did not make that document");
        }
        records.remove();
    }
    return true;
}

} // namespace korvant
