#include "protocol/functions.h"

#include <array>
#include <string>

namespace korvant3emu {
namespace {

constexpr std::array<std::string_view, kFunctionCount> kNames{
    "korvant3_version",
    "korvant3_get_info",
    "korvant3_get_state",
    "korvant3_get_fdstate",
    "korvant3_get_fdtag",
    "korvant3_open",
    "korvant3_close",
    "korvant3_fremu_query",
    "korvant3_fremu_enter",
    "korvant3_fremu_exit",
    "korvant3_fremu_get_money",
    "korvant3_fremu_open_shift",
    "korvant3_fremu_close_shift",
    "korvant3_fremu_open_doc",
    "korvant3_fremu_close_doc",
    "korvant3_fremu_cancel_doc",
    "korvant3_fremu_print",
    "korvant3_fremu_add_item",
    "korvant3_fremu_add_text",
    "korvant3_fremu_report_x",
    "korvant3_fremu_report_state",
    "korvant3_fremu_registration",
    "korvant3_fremu_set_agent",
    "korvant3_fremu_close_archive",
    "korvant3_fremu_print_doc",
};

} // namespace

std::string_view functionName(Function function) {
    return kNames.at(static_cast<size_t>(function));
}

std::optional<Function> functionByName(std::string_view name) {
    for (size_t i = 0; i < kNames.size(); ++i) {
        if (kNames[i] == name) {
            return static_cast<Function>(i);
        }
    }
    return std::nullopt;
}

std::optional<Function> functionByShortName(std::string_view name) {
    for (std::string_view prefix : {"", "korvant3_", "korvant3_fremu_"}) {
        if (auto found = functionByName(std::string(prefix) + std::string(name))) {
            return found;
        }
    }
    return std::nullopt;
}

bool isTaskFunction(Function function) {
    return function >= Function::fremu_open_shift && function <= Function::fremu_print_doc;
}

bool hasAnswer(Function function) {
    return function != Function::version && function != Function::close;
}

} // namespace korvant3emu
