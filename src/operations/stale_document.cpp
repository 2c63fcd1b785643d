#include "operations/stale_document.h"

#include <string>

#include "config/log.h"
#include "device/responses.h"

namespace korvant {

bool cancelStaleDocument(const DeviceSession& device, std::string_view operation) {
    constexpr const char* kWhere = "AddInKorvant::cancelStaleDocument";
    KorvantResponseGetState state;
    if (device.library.getState(device.handle, state) != ErrorCode::NoError ||
        !state.documentOpen()) {
        return false;
    }
    const ErrorCode cancelled = device.library.cancelDoc(device.handle);
    if (cancelled != ErrorCode::NoError) {
        KORVANT_LOG(kWhere, "the register holds an open document (kind ", state.doc_kind,
                    ") that could not be cancelled before ", operation, ": code ",
                    static_cast<int32_t>(cancelled));
        return false;
    }
    KORVANT_LOG(kWhere, "cancelled a document (kind ", state.doc_kind,
                ") left open in the register, before ", operation);
    return true;
}

} // namespace korvant
