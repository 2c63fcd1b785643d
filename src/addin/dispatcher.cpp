#include "addin/dispatcher.h"

#include "addin/exception_funnel.h"
#include "addin/method_table.h"

namespace korvant {
namespace {

bool acceptsCount(const MethodInfo& method, long count) {
    if (method.check == ArgumentCheck::Any) {
        return true;
    }
    return count >= 0 && static_cast<unsigned long>(count) == method.paramCount;
}

void store(const MethodOutcome& outcome, nativeapi::tVariant* result) {
    if (result == nullptr) {
        return;
    }
    if (outcome.kind == MethodOutcome::Kind::Int) {
        result->vt = nativeapi::VTYPE_I4;
        result->lVal = outcome.value;
    } else {
        result->vt = nativeapi::VTYPE_BOOL;
        result->bVal = outcome.value != 0;
    }
}

} // namespace

bool callMethod(ComponentState& state, long number, nativeapi::tVariant* result,
                nativeapi::tVariant* params, long count) {
    const MethodInfo* method = methodInfo(number);
    return method != nullptr && invokeMethod(state, *method, result, params, count);
}

bool invokeMethod(ComponentState& state, const MethodInfo& method, nativeapi::tVariant* result,
                  nativeapi::tVariant* params, long count) {
    if (!acceptsCount(method, count)) {
        return false;
    }
    const HostArgs args(state.memoryManager, params, count);
    const auto outcome = guarded("AddInKorvant::CallAsFunc", std::optional<MethodOutcome>(),
                                 [&] { return std::optional(method.handler(state, args)); });
    if (!outcome) {
        // A method that failed unexpectedly still answers, with a reason.
        setLastError(state, ErrorCode::OtherError);
    }
    store(outcome.value_or(MethodOutcome::boolean(false)), result);
    return true;
}

} // namespace korvant
