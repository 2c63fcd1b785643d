#pragma once

#include "addin/method_table.h"
#include "nativeapi/abi.h"
#include "operations/component_state.h"

namespace korvant {

// CallAsFunc and CallAsProc: checks the method number and argument count, runs
// the method's handler and stores its outcome in `result` (a statement call
// passes null and the outcome is dropped). False only when the call is refused
// (unknown number, wrong count); an operation's own failure is a true call with
// a false outcome and the reason in lastError.
bool callMethod(ComponentState& state, long number, nativeapi::tVariant* result,
                nativeapi::tVariant* params, long count);

// The same for one row of a method table.
bool invokeMethod(ComponentState& state, const MethodInfo& method, nativeapi::tVariant* result,
                  nativeapi::tVariant* params, long count);

} // namespace korvant
