#pragma once
// Pieces every device operation uses: recording a failure, handing an XML result
// to the host and the cashier members of a request.

#include <cstdint>
#include <initializer_list>
#include <string>

#include "device/request.h"
#include "device/responses.h"
#include "documents/attribute_document.h"
#include "documents/input_parameters.h"
#include "operations/component_state.h"
#include "operations/host_values.h"

namespace korvant {

// Where the methods called as (DeviceID, InputParameters, OutputParameters) find their
// documents: the shifts, the status queries.
constexpr long kInputArgument = 1;
constexpr long kOutputArgument = 2;

// Records `code` as the operation's outcome; true when it is NoError.
inline bool record(ComponentState& state, ErrorCode code) {
    setLastError(state, code);
    return code == ErrorCode::NoError;
}

// Records that a document's closing may have made it and the register could not
// tell: ProtocolError, explained by GetLastError as an outcome to be settled at
// the next receipt. Always false.
inline bool recordUnknownOutcome(ComponentState& state) {
    setLastError(state, ErrorCode::ProtocolError);
    state.outcomeUnknown = true;
    return false;
}

// The operation's result document goes into argument `index`; the outcome is
// whether the host took it. Called only once every device call succeeded.
inline bool handBack(const HostArgs& args, long index, const AttributeDocument& document) {
    return args.setText(index, document.text());
}

// The outcome of asking the register for what an operation reports to the
// host: the call's code when it failed, else ProtocolError when the answer
// lacked any of the `reported` members. A member the register did not give is
// no zero: the host is never told shift 0 or a closed shift for an answer that
// said nothing.
ErrorCode reportable(ErrorCode asked, const KorvantResponse& answer,
                     std::initializer_list<uint16_t> reported);

// Reads the input parameter document of argument `index` as every method reads
// it: false, with InputParametersError recorded, when it is not well-formed,
// before the register is asked anything.
bool inputReadable(ComponentState& state, const HostArgs& args, long index);

// "user_name" always (possibly empty), "user_inn" only when given.
Request cashierRequest(const std::string& name, const std::string& inn);
inline Request cashierRequest(const InputParametersDocument& input) {
    return cashierRequest(input.cashierName(), input.cashierINN());
}

} // namespace korvant
