#pragma once
// Runs a session script against a component and reports each call as one JSON line:
//   {"method": "GetLastError", "number": 2, "called": true,
//    "result": {"type": "I4", "value": 0}, "args": ["No error"]}
// "method" is the English name from GetMethodName (null when there is none), "result" is null
// when CallAsFunc answered false, "args" hold every argument as the call left it. A call the
// script makes as a statement carries "statement": true after "number"; "called" is then
// CallAsProc's answer and "result" is null, a statement having no value.

#include "host/addin/addin.h"
#include "host/script/script.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace korvant::host {

// A text argument that is exactly this stands for the text the last successful Open wrote
// into its first argument (empty text before any).
inline constexpr std::string_view kDevicePlaceholder = "${device}";

class ScriptRunner {
public:
    explicit ScriptRunner(Component& component) : component_(component) {}

    // Resolves every method name first (a ScriptError naming the call for an unknown one, before
    // anything is called), sets the script's locale, then makes the calls, handing each line to
    // `emit` as soon as its call has returned.
    void run(const Script& script, const std::function<void(const Json& line)>& emit);

    const std::u16string& device() const { return device_; }

private:
    std::vector<long> resolve(const Script& script);
    std::vector<Value> substitute(std::vector<Value> args) const;

    Component& component_;
    std::u16string device_;
};

Json callLine(const std::optional<std::u16string>& englishName, const CallResult& call,
              bool statement = false);

} // namespace korvant::host
