#pragma once
// Plain-function fakes of the device library for KorvantIntf tests. Every fake
// call takes the next scripted reply and records what it was called with. The
// reply text lives in one buffer that the next call overwrites, as the real
// library's does.

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "device/korvant_functions.h"
#include "device/korvant_intf.h"

namespace fake {

struct Reply {
    int32_t result = 0;
    std::optional<std::string> answer; // nothing: the library hands back a null pointer
};

struct Call {
    std::string function;
    int32_t handle = 0;
    int32_t timeoutMs = 0;
    uint32_t task = 0;
    std::string request;
};

struct State {
    std::deque<Reply> replies;
    // Handed out when the script has run out: an endlessly busy task.
    std::optional<Reply> whenEmpty;
    std::vector<Call> calls;
    std::string buffer;
    uint32_t nextTask = 42;
    std::chrono::steady_clock::time_point now{};
    int sleeps = 0;
    // When set, every poll answers by the clock instead of the script: busy
    // before this moment, done from it on.
    std::optional<std::chrono::steady_clock::time_point> busyUntil;
    std::vector<std::chrono::steady_clock::time_point> pollTimes;
};

inline State state;

// The library's answer to a task it has accepted and started.
inline constexpr char kAccepted[] = R"({"response":0})";

inline void reset() {
    state = State{};
}

inline void script(std::initializer_list<Reply> replies) {
    state.replies.insert(state.replies.end(), replies.begin(), replies.end());
}

inline int32_t reply(const char** answer) {
    Reply next;
    if (!state.replies.empty()) {
        next = state.replies.front();
        state.replies.pop_front();
    } else if (state.whenEmpty) {
        next = *state.whenEmpty;
    } else {
        next = {-100, std::nullopt};
    }
    if (next.answer) {
        state.buffer = *next.answer;
        *answer = state.buffer.c_str();
    } else {
        *answer = nullptr;
    }
    return next.result;
}

template <const char* Name> int32_t call(int32_t handle, int32_t timeoutMs, const char** answer) {
    state.calls.push_back({Name, handle, timeoutMs, 0, {}});
    return reply(answer);
}

template <const char* Name>
int32_t task(int32_t handle, int32_t timeoutMs, uint32_t* task, const char* request,
             const char** answer) {
    state.calls.push_back({Name, handle, timeoutMs, *task, request});
    *task = state.nextTask;
    return reply(answer);
}

template <const char* Name>
int32_t command(int32_t handle, int32_t timeoutMs, uint32_t* task, const char** answer) {
    state.calls.push_back({Name, handle, timeoutMs, *task, {}});
    *task = state.nextTask;
    return reply(answer);
}

inline int32_t query(int32_t handle, int32_t timeoutMs, uint32_t task, const char** answer) {
    state.calls.push_back({"query", handle, timeoutMs, task, {}});
    state.pollTimes.push_back(state.now);
    if (state.busyUntil) {
        state.buffer = state.now < *state.busyUntil ? R"({"response":3,"extended":103})"
                                                    : R"({"response":0,"extended":0})";
        *answer = state.buffer.c_str();
        return 0;
    }
    return reply(answer);
}

inline int32_t fdtag(int32_t handle, int32_t timeoutMs, const char* request, const char** answer) {
    state.calls.push_back({"get_fdtag", handle, timeoutMs, 0, request});
    return reply(answer);
}

inline int32_t open(const char* address, int32_t timeoutMs, const char** answer) {
    state.calls.push_back({"open", 0, timeoutMs, 0, address});
    return reply(answer);
}

inline int32_t close(int32_t handle) {
    state.calls.push_back({"close", handle, 0, 0, {}});
    return 0;
}

inline constexpr char kGetInfo[] = "get_info";
inline constexpr char kGetState[] = "get_state";
inline constexpr char kGetFdState[] = "get_fdstate";
inline constexpr char kEnter[] = "enter";
inline constexpr char kExit[] = "exit";
inline constexpr char kGetMoney[] = "get_money";
inline constexpr char kOpenShift[] = "open_shift";
inline constexpr char kCloseShift[] = "close_shift";
inline constexpr char kOpenDoc[] = "open_doc";
inline constexpr char kCloseDoc[] = "close_doc";
inline constexpr char kCancelDoc[] = "cancel_doc";
inline constexpr char kPrint[] = "print";
inline constexpr char kAddItem[] = "add_item";
inline constexpr char kAddText[] = "add_text";
inline constexpr char kReportX[] = "report_x";
inline constexpr char kReportState[] = "report_state";
inline constexpr char kRegistration[] = "registration";
inline constexpr char kSetAgent[] = "set_agent";
inline constexpr char kCloseArchive[] = "close_archive";

inline korvant::KorvantFunctions functions() {
    korvant::KorvantFunctions f;
    f.get_info = call<kGetInfo>;
    f.get_state = call<kGetState>;
    f.get_fdstate = call<kGetFdState>;
    f.get_fdtag = fdtag;
    f.open = open;
    f.close = close;
    f.fremu_query = query;
    f.fremu_enter = call<kEnter>;
    f.fremu_exit = call<kExit>;
    f.fremu_get_money = call<kGetMoney>;
    f.fremu_open_shift = task<kOpenShift>;
    f.fremu_close_shift = task<kCloseShift>;
    f.fremu_open_doc = task<kOpenDoc>;
    f.fremu_close_doc = task<kCloseDoc>;
    f.fremu_cancel_doc = command<kCancelDoc>;
    f.fremu_print = task<kPrint>;
    f.fremu_add_item = task<kAddItem>;
    f.fremu_add_text = task<kAddText>;
    f.fremu_report_x = command<kReportX>;
    f.fremu_report_state = command<kReportState>;
    f.fremu_registration = task<kRegistration>;
    f.fremu_set_agent = task<kSetAgent>;
    f.fremu_close_archive = task<kCloseArchive>;
    return f;
}

// A clock that only moves when the binding sleeps.
inline korvant::TaskClock clock() {
    return {[] { return state.now; },
            [](std::chrono::milliseconds duration) {
                state.now += duration;
                ++state.sleeps;
            }};
}

// A binding wired to the fakes and the fake clock, with a fresh script.
inline void bind(korvant::KorvantIntf& intf) {
    reset();
    intf.useFunctions(functions());
    intf.setClock(clock());
}

} // namespace fake
