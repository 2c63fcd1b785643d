#pragma once
// Faults injected through the control API: a rule names a function and which of
// its calls, counted from when the rule is added, misbehaves ("call": 3 for the
// third, 0 for every call), and how.

#include "protocol/functions.h"

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace korvant3emu {

// An answer replaced by injection: either other codes in the answer the call
// would give, or a raw text.
struct InjectedAnswer {
    int32_t response = 0;
    int32_t extended = 0;
    std::optional<std::string> text;
    // Whether the register still does what was asked. By default only when the
    // injected response is 0.
    bool perform = false;

    std::string applyTo(const nlohmann::json& answer) const;
};

// Everything injected into one call.
struct CallFaults {
    std::optional<int32_t> result;
    std::optional<InjectedAnswer> start; // the call's own answer (a task's start answer)
    std::optional<InjectedAnswer> end;   // a task's final poll answer
    std::optional<int64_t> busy_polls;
    bool busy_forever = false;
    // The task takes effect only when it ends, at the poll that hands out its
    // final answer, instead of when it starts: a register still at work shows
    // its document open until then.
    bool effect_at_end = false;
};

class FaultTable {
public:
    // 0 when the rule was added; -1 for a text that is not a JSON object, -2 for
    // a rule that cannot be applied.
    int add(const char* ruleText);

    // Counts a call of the function and gathers the faults due on it.
    CallFaults onCall(Function function);

    void clear() { rules_.clear(); }
    size_t size() const { return rules_.size(); }

private:
    struct Rule {
        Function function;
        int64_t call;
        int64_t seen = 0;
        CallFaults faults;
    };

    std::vector<Rule> rules_;
};

} // namespace korvant3emu
