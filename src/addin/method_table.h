#pragma once
// The 29 methods of the fiscal-register driver interface, one row each: the
// host finds them by English or Russian name and calls them by number.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "operations/method_outcome.h"

namespace korvant {

// How the dispatcher treats the argument count of a call.
enum class ArgumentCheck {
    Exact, // refused unless the count equals the row's parameter count
    Any,   // runs whatever the count
};

struct MethodInfo {
    std::string_view english;
    std::string_view russian;
    uint32_t paramCount;
    uint32_t hasRetVal;
    ArgumentCheck check;
    MethodHandler handler;
};

inline constexpr long kMethodCount = 29;

const std::array<MethodInfo, kMethodCount>& methodTable();

// The row of a method number; numbers are taken as unsigned, so a negative
// one is out of range like one above 28.
const MethodInfo* methodInfo(long number);

// The first row whose English or Russian name equals `name` exactly, or -1.
long findMethod(std::string_view name);

} // namespace korvant
