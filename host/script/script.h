#pragma once
// Session scripts: what korvant-host runs against a component.
//
//   {"locale": "ru_RU",
//    "calls": [{"method": "Open", "args": [""]},
//              {"method": "GetLastError", "args": [null]}]}
//
// "locale" is optional (SetLocale after Init); "method" is an English or Russian method name,
// or a method number; "args" is a list of values in the script notation and may be left out;
// "statement": true calls the method as a statement (CallAsProc) instead of CallAsFunc.
// Both objects may carry a "comment"; any other member is an error, so a misspelt member
// cannot silently change a script.

#include "host/values/script_notation.h"
#include "host/values/value.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvant::host {

struct ScriptCall {
    std::string method;         // the name, or empty when the script gives a number
    std::optional<long> number; // the number, when the script gives one
    std::vector<Value> args;
    bool statement = false; // CallAsProc instead of CallAsFunc
};

struct Script {
    std::optional<std::string> locale;
    std::vector<ScriptCall> calls;
};

// Both throw ScriptError with a message that names the offending place.
Script parseScript(std::string_view text);
// "-" reads the standard input.
Script readScript(const std::filesystem::path& file);

} // namespace korvant::host
