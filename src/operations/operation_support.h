#pragma once
// Pieces every device operation uses: recording a failure, handing an XML result
// to the host and the cashier members of a request.

#include <string>

#include "device/request.h"
#include "documents/attribute_document.h"
#include "documents/input_parameters.h"
#include "operations/component_state.h"
#include "operations/host_values.h"

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

} // namespace korvant
