#include "host/script/script_runner.h"

#include "nativeapi/utf.h"

#include <utility>

namespace korvant::host {

void ScriptRunner::run(const Script& script, const std::function<void(const Json&)>& emit) {
    const auto numbers = resolve(script);
    if (script.locale) {
        component_.setLocale(*script.locale);
    }
    for (std::size_t i = 0; i < script.calls.size(); ++i) {
        const ScriptCall& scripted = script.calls[i];
        const auto call = scripted.statement
                              ? component_.callAsProc(numbers[i], substitute(scripted.args))
                              : component_.callAsFunc(numbers[i], substitute(scripted.args));
        const auto name = component_.methodName(numbers[i], 0);
        if (name == u"Open" && call.succeeded() && !call.args.empty() && call.args[0].isText()) {
            device_ = utf8ToUtf16(call.args[0].utf8());
        }
        emit(callLine(name, call, scripted.statement));
    }
}

std::vector<long> ScriptRunner::resolve(const Script& script) {
    std::vector<long> numbers;
    for (std::size_t i = 0; i < script.calls.size(); ++i) {
        const auto& call = script.calls[i];
        const long number = call.number ? *call.number : component_.findMethod(call.method);
        if (number < 0 && !call.number) {
            throw ScriptError("calls[" + std::to_string(i) + "]: the component has no method \"" +
                              call.method + "\"");
        }
        numbers.push_back(number);
    }
    return numbers;
}

std::vector<Value> ScriptRunner::substitute(std::vector<Value> args) const {
    for (auto& arg : args) {
        if (arg.isText() && arg.utf8() == kDevicePlaceholder) {
            arg = arg.type == VType::PWStr ? Value::pwstr(device_)
                                           : Value::pstr(utf16ToUtf8(device_));
        }
    }
    return args;
}

Json callLine(const std::optional<std::u16string>& englishName, const CallResult& call,
              bool statement) {
    Json line;
    line["method"] = englishName ? Json(utf16ToUtf8(*englishName)) : Json(nullptr);
    line["number"] = call.number;
    if (statement) {
        line["statement"] = true;
    }
    line["called"] = call.called;
    line["result"] = call.result ? toNotation(*call.result) : Json(nullptr);
    line["args"] = Json::array();
    for (const auto& arg : call.args) {
        line["args"].push_back(toNotation(arg));
    }
    return line;
}

} // namespace korvant::host
