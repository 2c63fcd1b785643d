#pragma once
// What a driver method hands back to the host as the call's result value, and
// the signature every method of the component has.

#include <cstdint>

#include "operations/component_state.h"
#include "operations/host_values.h"

namespace korvant {

struct MethodOutcome {
    enum class Kind { Bool, Int };
    Kind kind;
    int32_t value;

    static MethodOutcome boolean(bool outcome) { return {Kind::Bool, outcome ? 1 : 0}; }
    static MethodOutcome integer(int32_t value) { return {Kind::Int, value}; }
};

using MethodHandler = MethodOutcome (*)(ComponentState&, const HostArgs&);

} // namespace korvant
