#include "control/faults.h"

#include <algorithm>

namespace korvant3emu {
namespace {

using nlohmann::json;

struct InvalidRule {};

[[noreturn]] void invalid() {
    throw InvalidRule{};
}

int32_t int32Member(const json& rule, const char* name) {
    const json& value = rule.at(name);
    if (!value.is_number_integer() || value.get<int64_t>() < INT32_MIN ||
        value.get<int64_t>() > INT32_MAX) {
        invalid();
    }
    return value.get<int32_t>();
}

bool atEnd(const json& rule) {
    if (!rule.contains("at")) {
        return false;
    }
    if (rule["at"] == "end") {
        return true;
    }
    if (rule["at"] != "start") {
        invalid();
    }
    return false;
}

InjectedAnswer injectedAnswer(const json& rule) {
    InjectedAnswer answer;
    if (rule.contains("answer")) {
        if (!rule["answer"].is_string() || rule.contains("extended")) {
            invalid();
        }
        answer.text = rule["answer"].get<std::string>();
    } else {
        answer.response = int32Member(rule, "response");
        answer.extended = rule.contains("extended") ? int32Member(rule, "extended") : 0;
        answer.perform = answer.response == 0;
    }
    if (rule.contains("perform")) {
        if (!rule["perform"].is_boolean()) {
            invalid();
        }
        answer.perform = rule["perform"].get<bool>();
    }
    return answer;
}

CallFaults faultsOf(const json& rule, Function function) {
    const bool task = isTaskFunction(function);
    const int actions = int(rule.contains("result")) + int(rule.contains("response")) +
                        int(rule.contains("answer")) + int(rule.contains("busy_polls")) +
                        int(rule.contains("busy_forever")) + int(rule.contains("effect"));
    if (actions != 1) {
        invalid();
    }
    const bool answers = rule.contains("response") || rule.contains("answer");
    if (!answers &&
        (rule.contains("extended") || rule.contains("at") || rule.contains("perform"))) {
        invalid();
    }
    CallFaults faults;
    if (rule.contains("result")) {
        faults.result = int32Member(rule, "result");
        // A zero result promises an answer, which a result rule does not give;
        // only the calls that never answer, or answer with a handle, may get it.
        const bool zeroAllowed = !hasAnswer(function) || function == Function::open;
        if (*faults.result == 0 && !zeroAllowed) {
            invalid();
        }
    } else if (answers) {
        if (!hasAnswer(function) || (atEnd(rule) && !task)) {
            invalid();
        }
        (atEnd(rule) ? faults.end : faults.start) = injectedAnswer(rule);
    } else if (rule.contains("busy_polls")) {
        const json& polls = rule["busy_polls"];
        if (!task || !polls.is_number_integer() || polls.get<int64_t>() < 0) {
            invalid();
        }
        faults.busy_polls = polls.get<int64_t>();
    } else if (rule.contains("busy_forever")) {
        if (!task || rule["busy_forever"] != true) {
            invalid();
        }
        faults.busy_forever = true;
    } else {
        if (!task || rule["effect"] != "end") {
            invalid();
        }
        faults.effect_at_end = true;
    }
    return faults;
}

void merge(CallFaults& into, const CallFaults& from) {
    // The rule added first wins where two rules want the same thing.
    if (!into.result) {
        into.result = from.result;
    }
    if (!into.start) {
        into.start = from.start;
    }
    if (!into.end) {
        into.end = from.end;
    }
    if (!into.busy_polls) {
        into.busy_polls = from.busy_polls;
    }
    into.busy_forever = into.busy_forever || from.busy_forever;
    into.effect_at_end = into.effect_at_end || from.effect_at_end;
}

} // namespace

std::string InjectedAnswer::applyTo(const json& answer) const {
    if (text) {
        return *text;
    }
    json changed = answer;
    changed["response"] = response;
    changed["extended"] = extended;
    return changed.dump(-1, ' ', false, json::error_handler_t::replace);
}

int FaultTable::add(const char* ruleText) {
    const json rule = ruleText ? json::parse(ruleText, nullptr, false) : json();
    if (!rule.is_object()) {
        return -1;
    }
    try {
        static const std::vector<std::string> known{
            "function", "call",       "result",       "response", "extended", "at",
            "answer",   "busy_polls", "busy_forever", "perform",  "effect"};
        for (const auto& [name, value] : rule.items()) {
            if (std::find(known.begin(), known.end(), name) == known.end()) {
                invalid();
            }
        }
        if (!rule.contains("function") || !rule["function"].is_string() || !rule.contains("call") ||
            !rule["call"].is_number_integer() || rule["call"].get<int64_t>() < 0) {
            invalid();
        }
        const auto function = functionByName(rule["function"].get<std::string>());
        if (!function) {
            invalid();
        }
        rules_.push_back(
            Rule{*function, rule["call"].get<int64_t>(), 0, faultsOf(rule, *function)});
        return 0;
    } catch (const InvalidRule&) {
        return -2;
    }
}

CallFaults FaultTable::onCall(Function function) {
    CallFaults due;
    for (auto rule = rules_.begin(); rule != rules_.end();) {
        if (rule->function != function) {
            ++rule;
            continue;
        }
        ++rule->seen;
        if (rule->call == 0 || rule->seen == rule->call) {
            merge(due, rule->faults);
        }
        // A rule for one call has done its work once that call has come.
        rule = rule->call != 0 && rule->seen >= rule->call ? rules_.erase(rule) : rule + 1;
    }
    return due;
}

} // namespace korvant3emu
