#include "host/script/script.h"

#include <fstream>
#include <initializer_list>
#include <iostream>
#include <iterator>
#include <limits>
#include <sstream>

namespace korvant::host {
namespace {

[[noreturn]] void fail(const std::string& where, const std::string& message) {
    throw ScriptError(where + ": " + message);
}

void rejectUnknownMembers(const Json& object, std::initializer_list<std::string_view> known,
                          const std::string& where) {
    for (const auto& [key, member] : object.items()) {
        bool expected = false;
        for (const auto name : known) {
            expected = expected || key == name;
        }
        if (!expected) {
            fail(where, "unexpected member \"" + key + "\"");
        }
    }
}

bool fitsLong(const Json& number) {
    if (number.is_number_unsigned()) {
        return number.get<uint64_t>() <= static_cast<uint64_t>(std::numeric_limits<long>::max());
    }
    return number.is_number_integer() &&
           number.get<int64_t>() >= std::numeric_limits<long>::min() &&
           number.get<int64_t>() <= std::numeric_limits<long>::max();
}

ScriptCall parseCall(const Json& call, const std::string& where) {
    if (!call.is_object()) {
        fail(where, "a call is an object with \"method\" and \"args\"");
    }
    rejectUnknownMembers(call, {"method", "args", "statement", "comment"}, where);
    ScriptCall parsed;
    if (!call.contains("method")) {
        fail(where, "the call names no \"method\"");
    }
    const auto& method = call.at("method");
    if (method.is_string()) {
        parsed.method = method.get<std::string>();
    } else if (fitsLong(method)) {
        parsed.number = static_cast<long>(method.get<int64_t>());
    } else {
        fail(where + ".method", "a method is a name or a number");
    }
    if (call.contains("statement")) {
        if (!call.at("statement").is_boolean()) {
            fail(where + ".statement", "\"statement\" is true or false");
        }
        parsed.statement = call.at("statement").get<bool>();
    }
    if (call.contains("args")) {
        const auto& args = call.at("args");
        if (!args.is_array()) {
            fail(where + ".args", "the arguments are a list");
        }
        for (std::size_t i = 0; i < args.size(); ++i) {
            parsed.args.push_back(
                fromNotation(args.at(i), where + ".args[" + std::to_string(i) + "]"));
        }
    }
    return parsed;
}

} // namespace

Script parseScript(std::string_view text) {
    Json json;
    try {
        json = Json::parse(text.begin(), text.end());
    } catch (const Json::parse_error& error) {
        throw ScriptError(std::string("the script is not valid JSON: ") + error.what());
    }
    if (!json.is_object()) {
        throw ScriptError("the script is an object with \"calls\"");
    }
    rejectUnknownMembers(json, {"locale", "calls", "comment"}, "script");
    Script script;
    if (json.contains("locale")) {
        if (!json.at("locale").is_string()) {
            fail("locale", "the locale is a text such as \"ru_RU\"");
        }
        script.locale = json.at("locale").get<std::string>();
    }
    if (!json.contains("calls") || !json.at("calls").is_array()) {
        throw ScriptError("the script needs a \"calls\" list");
    }
    const auto& calls = json.at("calls");
    for (std::size_t i = 0; i < calls.size(); ++i) {
        script.calls.push_back(parseCall(calls.at(i), "calls[" + std::to_string(i) + "]"));
    }
    return script;
}

Script readScript(const std::filesystem::path& file) {
    std::ostringstream text;
    if (file == "-") {
        text << std::cin.rdbuf();
    } else {
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            throw ScriptError("cannot read the script " + file.string());
        }
        text << in.rdbuf();
    }
    return parseScript(text.str());
}

} // namespace korvant::host
