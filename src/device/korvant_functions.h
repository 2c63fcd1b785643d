#pragma once
// The device library's 25 exported functions as the driver calls them. Answer
// texts belong to the library: they are copied before the next call and never
// freed.

#include <cstdint>

namespace korvant {

using VersionFn = int32_t (*)(int32_t* major, int32_t* minor, int32_t* patch, int32_t* build);
using OpenFn = int32_t (*)(const char* address, int32_t timeoutMs, const char** answer);
using CloseFn = int32_t (*)(int32_t handle);
// Calls that answer at once: get_info, get_state, get_fdstate, fremu_enter,
// fremu_exit, fremu_get_money.
using CallFn = int32_t (*)(int32_t handle, int32_t timeoutMs, const char** answer);
using FdTagFn = int32_t (*)(int32_t handle, int32_t timeoutMs, const char* request,
                            const char** answer);
using QueryFn = int32_t (*)(int32_t handle, int32_t timeoutMs, uint32_t task, const char** answer);
// Tasks started with a request, then followed with fremu_query.
using TaskFn = int32_t (*)(int32_t handle, int32_t timeoutMs, uint32_t* task, const char* request,
                           const char** answer);
// Tasks started without a request.
using CommandFn = int32_t (*)(int32_t handle, int32_t timeoutMs, uint32_t* task,
                              const char** answer);

// One slot per library function, named after it without the "korvant3_" prefix.
struct KorvantFunctions {
    VersionFn version = nullptr;
    CallFn get_info = nullptr;
    CallFn get_state = nullptr;
    CallFn get_fdstate = nullptr;
    FdTagFn get_fdtag = nullptr;
    OpenFn open = nullptr;
    CloseFn close = nullptr;
    QueryFn fremu_query = nullptr;
    CallFn fremu_enter = nullptr;
    CallFn fremu_exit = nullptr;
    CallFn fremu_get_money = nullptr;
    TaskFn fremu_open_shift = nullptr;
    TaskFn fremu_close_shift = nullptr;
    TaskFn fremu_open_doc = nullptr;
    TaskFn fremu_close_doc = nullptr;
    CommandFn fremu_cancel_doc = nullptr;
    TaskFn fremu_print = nullptr;
    TaskFn fremu_add_item = nullptr;
    TaskFn fremu_add_text = nullptr;
    CommandFn fremu_report_x = nullptr;
    CommandFn fremu_report_state = nullptr;
    TaskFn fremu_registration = nullptr;
    TaskFn fremu_set_agent = nullptr;
    TaskFn fremu_close_archive = nullptr;
    TaskFn fremu_print_doc = nullptr;
};

// Calls visit(exportedName, slot) for every slot, in the order the library is bound.
template <typename Visitor> void forEachFunction(KorvantFunctions& functions, Visitor&& visit) {
    visit("korvant3_version", functions.version);
    visit("korvant3_get_info", functions.get_info);
    visit("korvant3_get_state", functions.get_state);
    visit("korvant3_get_fdstate", functions.get_fdstate);
    visit("korvant3_get_fdtag", functions.get_fdtag);
    visit("korvant3_open", functions.open);
    visit("korvant3_close", functions.close);
    visit("korvant3_fremu_query", functions.fremu_query);
    visit("korvant3_fremu_enter", functions.fremu_enter);
    visit("korvant3_fremu_exit", functions.fremu_exit);
    visit("korvant3_fremu_get_money", functions.fremu_get_money);
    visit("korvant3_fremu_open_shift", functions.fremu_open_shift);
    visit("korvant3_fremu_close_shift", functions.fremu_close_shift);
    visit("korvant3_fremu_open_doc", functions.fremu_open_doc);
    visit("korvant3_fremu_close_doc", functions.fremu_close_doc);
    visit("korvant3_fremu_cancel_doc", functions.fremu_cancel_doc);
    visit("korvant3_fremu_print", functions.fremu_print);
    visit("korvant3_fremu_add_item", functions.fremu_add_item);
    visit("korvant3_fremu_add_text", functions.fremu_add_text);
    visit("korvant3_fremu_report_x", functions.fremu_report_x);
    visit("korvant3_fremu_report_state", functions.fremu_report_state);
    visit("korvant3_fremu_registration", functions.fremu_registration);
    visit("korvant3_fremu_set_agent", functions.fremu_set_agent);
    visit("korvant3_fremu_close_archive", functions.fremu_close_archive);
    visit("korvant3_fremu_print_doc", functions.fremu_print_doc);
}

inline constexpr int kKorvantFunctionCount = 25;

} // namespace korvant
