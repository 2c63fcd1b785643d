#pragma once
// The JSON notation of values in session scripts and in the host's output:
//   "text"                       PWSTR
//   42                           I4
//   1.5                          R8
//   true / false                 BOOL
//   null                         EMPTY
//   {"type": "I2", "value": 7}   any other type, or any type named explicitly

#include "host/values/value.h"

#include <nlohmann/json.hpp>

#include <stdexcept>
#include <string>
#include <string_view>

namespace korvant::host {

// Ordered, so that output keeps the order in which members are written.
using Json = nlohmann::ordered_json;

// A script or value that cannot be read; the message names the place in the script.
class ScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

Json toNotation(const Value& value);
// `where` names the value in error messages, e.g. "calls[2].args[0]".
Value fromNotation(const Json& notation, std::string_view where = "value");

// Compact JSON on one line, UTF-8 as it is; invalid UTF-8 becomes U+FFFD instead of throwing.
std::string dumpJson(const Json& json);

} // namespace korvant::host
