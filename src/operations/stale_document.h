#pragma once
// A document nobody will finish. The register holds one open document at a time
// and refuses a new one, a report or a shift closing while it has it. A document
// left there by a lost link, a killed host or a cancel that failed would block
// the till for good: no method could clear it. So an operation the register
// refuses as not allowed asks the register whether it holds an open document
// and, when it does and no live process of this machine is filling it (see
// document_record.h), cancels it and tries once more. A document another 1C
// session of this machine is filling is left alone, and the refusal (code 14)
// stands. A document opened through another machine's connection leaves no
// record here: it cannot be told apart from a stale one, and is cancelled as
// one. The question costs a call only after such a refusal, never on the
// normal path.

#include <string_view>

#include "device/device_session.h"
#include "device/error_code.h"
#include "operations/component_state.h"

namespace korvant {

// Cancels the document the register holds open, if it holds one that nobody
// fills; true when one was cancelled (and logged, with its kind, for `operation`).
bool cancelStaleDocument(ComponentState& state, const DeviceSession& device,
                         std::string_view operation);

// Runs `attempt` (a call returning an ErrorCode); when the register refuses it as
// not allowed and a stale document was cancelled, runs it once more.
template <typename Attempt>
ErrorCode clearingStaleDocument(ComponentState& state, const DeviceSession& device,
                                std::string_view operation, Attempt&& attempt) {
    const ErrorCode first = attempt();
    if (first != ErrorCode::OperationNotAllowed || !cancelStaleDocument(state, device, operation)) {
        return first;
    }
    return attempt();
}

} // namespace korvant
