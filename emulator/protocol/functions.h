#pragma once
// The 25 functions of the device library, as the emulator names and classifies
// them: the journal, the fault rules and the per-function settings refer to them
// by their exported names.

#include <optional>
#include <string_view>

namespace korvant3emu {

enum class Function {
    version,
    get_info,
    get_state,
    get_fdstate,
    get_fdtag,
    open,
    close,
    fremu_query,
    fremu_enter,
    fremu_exit,
    fremu_get_money,
    fremu_open_shift,
    fremu_close_shift,
    fremu_open_doc,
    fremu_close_doc,
    fremu_cancel_doc,
    fremu_print,
    fremu_add_item,
    fremu_add_text,
    fremu_report_x,
    fremu_report_state,
    fremu_registration,
    fremu_set_agent,
    fremu_close_archive,
    fremu_print_doc,
};

inline constexpr int kFunctionCount = 25;

// The exported name, e.g. "korvant3_fremu_open_shift".
std::string_view functionName(Function function);

// The function of an exported name; nothing for any other text.
std::optional<Function> functionByName(std::string_view name);

// The same, also accepting the name without "korvant3_" or "korvant3_fremu_".
std::optional<Function> functionByShortName(std::string_view name);

// Functions that start a task answered later through korvant3_fremu_query.
bool isTaskFunction(Function function);

// Every function but korvant3_version and korvant3_close hands back an answer text.
bool hasAnswer(Function function);

} // namespace korvant3emu
