#pragma once
// Pieces every device operation uses: recording a failure, handing an XML result
// to the host, the cashier members of a request, and the guard that cancels a
// document left open by any failure.

#include <string>

#include "addin/component_state.h"
#include "addin/host_values.h"
#include "device/request.h"
#include "documents/attribute_document.h"
#include "documents/input_parameters.h"

namespace korvant {

// Records `code` as the operation's outcome; true when it is NoError.
inline bool record(ComponentState& state, ErrorCode code) {
    state.lastError = code;
    return code == ErrorCode::NoError;
}

// The operation's result document goes into argument `index`; the outcome is
// whether the host took it. Called only once every device call succeeded.
inline bool handBack(const HostArgs& args, long index, const AttributeDocument& document) {
    return args.setText(index, document.text());
}

// "user_name" always (possibly empty), "user_inn" only when given.
Request cashierRequest(const std::string& name, const std::string& inn);
inline Request cashierRequest(const InputParametersDocument& input) {
    return cashierRequest(input.cashierName(), input.cashierINN());
}

// Opens a document in the register. A refusal opened nothing; an open whose
// answer could not be read, or that never finished, may have opened it after
// all, and a document left open would refuse every later one: that document is
// cancelled (cancelling one that is not open is refused harmlessly).
inline ErrorCode openDocument(KorvantIntf& library, int32_t handle, const std::string& request) {
    const ErrorCode opened = library.openDoc(handle, request);
    if (opened == ErrorCode::ProtocolError) {
        library.cancelDoc(handle);
    }
    return opened;
}

// A document opened in the register: cancelled when the operation leaves
// without completing it, whatever the reason (a refusal, a malformed answer,
// an exception). The cancel's own outcome never changes the operation's.
class OpenDocument {
public:
    OpenDocument(KorvantIntf& library, int32_t handle) : library_(library), handle_(handle) {}
    ~OpenDocument() {
        if (!completed_) {
            library_.cancelDoc(handle_);
        }
    }
    OpenDocument(const OpenDocument&) = delete;
    OpenDocument& operator=(const OpenDocument&) = delete;

    void completed() { completed_ = true; }

private:
    KorvantIntf& library_;
    int32_t handle_;
    bool completed_ = false;
};

} // namespace korvant
