#pragma once
// A document nobody will finish. The register holds one open document at a time
// and refuses a new one, a report or a shift closing while it has it. A document
// left there by a lost link, a killed host or a cancel that failed would block
// the till for good: no method could clear it. So an operation the register
// refuses as not allowed asks the register whether it holds an open document
// and, when it does, cancels it and tries once more. The question costs a call
// only after such a refusal, never on the normal path.

#include <string_view>

#include "device/device_session.h"
#include "device/error_code.h"

namespace korvant {

// Cancels the document the register holds open, if it holds one; true when one
// was cancelled (and logged, with its kind, for `operation`).
bool cancelStaleDocument(const DeviceSession& device, std::string_view operation);

// Runs `attempt` (a call returning an ErrorCode); when the register refuses it as
// not allowed and a stale document was cancelled, runs it once more.
template <typename Attempt>
ErrorCode clearingStaleDocument(const DeviceSession& device, std::string_view operation,
                                Attempt&& attempt) {
    const ErrorCode first = attempt();
    if (first != ErrorCode::OperationNotAllowed || !cancelStaleDocument(device, operation)) {
        return first;
    }
    return attempt();
}

} // namespace korvant
