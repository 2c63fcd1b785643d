// The exported functions: each hands the call to the process's one emulator
// and lets no exception out to the caller.

#include "korvant3emu.h"
#include "library/emulator.h"
#include "protocol/codes.h"

namespace {

using korvant3emu::Emulator;
using korvant3emu::Function;

// The version this library reports as the device library's.
constexpr int32_t kVersion[4] = {3, 0, 0, 1};

template <typename Body> int32_t guarded(Body body) {
    try {
        return body();
    } catch (...) {
        return korvant3emu::result::failed;
    }
}

template <typename T> void clear(T* out) {
    if (out != nullptr) {
        *out = T{};
    }
}

int32_t plain(Function function, int32_t handle, const char** answer) {
    clear(answer);
    return guarded(
        [&] { return Emulator::instance().call(function, handle, nullptr, 0, nullptr, answer); });
}

int32_t task(Function function, int32_t handle, uint32_t* number, const char* request,
             const char** answer) {
    clear(number);
    clear(answer);
    return guarded(
        [&] { return Emulator::instance().call(function, handle, request, 0, number, answer); });
}

} // namespace

extern "C" {

int32_t korvant3_version(int32_t* major, int32_t* minor, int32_t* patch, int32_t* build) {
    int32_t* const parts[4] = {major, minor, patch, build};
    for (int i = 0; i < 4; ++i) {
        if (parts[i] != nullptr) {
            *parts[i] = kVersion[i];
        }
    }
    return plain(Function::version, 0, nullptr);
}

int32_t korvant3_open(const char* address, int32_t, const char** answer) {
    clear(answer);
    return guarded(
        [&] { return Emulator::instance().call(Function::open, 0, address, 0, nullptr, answer); });
}

int32_t korvant3_close(int32_t handle) {
    return plain(Function::close, handle, nullptr);
}

int32_t korvant3_get_info(int32_t handle, int32_t, const char** answer) {
    return plain(Function::get_info, handle, answer);
}

int32_t korvant3_get_state(int32_t handle, int32_t, const char** answer) {
    return plain(Function::get_state, handle, answer);
}

int32_t korvant3_get_fdstate(int32_t handle, int32_t, const char** answer) {
    return plain(Function::get_fdstate, handle, answer);
}

int32_t korvant3_get_fdtag(int32_t handle, int32_t, const char* request, const char** answer) {
    return task(Function::get_fdtag, handle, nullptr, request, answer);
}

int32_t korvant3_fremu_query(int32_t handle, int32_t, uint32_t number, const char** answer) {
    clear(answer);
    return guarded([&] {
        return Emulator::instance().call(Function::fremu_query, handle, nullptr, number, nullptr,
                                         answer);
    });
}

int32_t korvant3_fremu_enter(int32_t handle, int32_t, const char** answer) {
    return plain(Function::fremu_enter, handle, answer);
}

int32_t korvant3_fremu_exit(int32_t handle, int32_t, const char** answer) {
    return plain(Function::fremu_exit, handle, answer);
}

int32_t korvant3_fremu_get_money(int32_t handle, int32_t, const char** answer) {
    return plain(Function::fremu_get_money, handle, answer);
}

#define KORVANT3EMU_DEFINE_TASK_WITH_REQUEST(name)                                                 \
    int32_t korvant3_##name(int32_t handle, int32_t, uint32_t* number, const char* request,        \
                            const char** answer) {                                                 \
        return task(Function::name, handle, number, request, answer);                              \
    }
#define KORVANT3EMU_DEFINE_TASK(name)                                                              \
    int32_t korvant3_##name(int32_t handle, int32_t, uint32_t* number, const char** answer) {      \
        return task(Function::name, handle, number, nullptr, answer);                              \
    }

KORVANT3EMU_DEFINE_TASK_WITH_REQUEST(fremu_open_shift)
KORVANT3EMU_DEFINE_TASK_WITH_REQUEST(fremu_close_shift)
KORVANT3EMU_DEFINE_TASK_WITH_REQUEST(fremu_open_doc)
KORVANT3EMU_DEFINE_TASK_WITH_REQUEST(fremu_close_doc)
KORVANT3EMU_DEFINE_TASK_WITH_REQUEST(fremu_print)
KORVANT3EMU_DEFINE_TASK_WITH_REQUEST(fremu_add_item)
KORVANT3EMU_DEFINE_TASK_WITH_REQUEST(fremu_add_text)
KORVANT3EMU_DEFINE_TASK_WITH_REQUEST(fremu_registration)
KORVANT3EMU_DEFINE_TASK_WITH_REQUEST(fremu_set_agent)
KORVANT3EMU_DEFINE_TASK_WITH_REQUEST(fremu_close_archive)
KORVANT3EMU_DEFINE_TASK_WITH_REQUEST(fremu_print_doc)
KORVANT3EMU_DEFINE_TASK(fremu_report_x)
KORVANT3EMU_DEFINE_TASK(fremu_report_state)
KORVANT3EMU_DEFINE_TASK(fremu_cancel_doc)

} // extern "C"
