// A stand-in device library for the loader tests. Each function returns 100
// plus its position in the binding order, so a test can tell that every slot
// got the function of its name. Built twice: complete, and without
// korvant3_fremu_print_doc.

#include <cstdint>

#ifdef _WIN32
#define STUB_EXPORT extern "C" __declspec(dllexport)
#else
#define STUB_EXPORT extern "C" __attribute__((visibility("default")))
#endif

STUB_EXPORT int32_t korvant3_version(int32_t* major, int32_t* minor, int32_t* patch,
                                     int32_t* build) {
    *major = 3;
    *minor = 1;
    *patch = 7;
    *build = 99;
    return 100;
}

#define STUB_CALL(name, result)                                                                    \
    STUB_EXPORT int32_t name(int32_t, int32_t, const char**) {                                     \
        return result;                                                                             \
    }
#define STUB_TASK(name, result)                                                                    \
    STUB_EXPORT int32_t name(int32_t, int32_t, uint32_t*, const char*, const char**) {             \
        return result;                                                                             \
    }
#define STUB_COMMAND(name, result)                                                                 \
    STUB_EXPORT int32_t name(int32_t, int32_t, uint32_t*, const char**) {                          \
        return result;                                                                             \
    }

STUB_CALL(korvant3_get_info, 101)
STUB_CALL(korvant3_get_state, 102)
STUB_CALL(korvant3_get_fdstate, 103)
STUB_EXPORT int32_t korvant3_get_fdtag(int32_t, int32_t, const char*, const char**) {
    return 104;
}
STUB_EXPORT int32_t korvant3_open(const char*, int32_t, const char**) {
    return 105;
}
STUB_EXPORT int32_t korvant3_close(int32_t) {
    return 106;
}
STUB_EXPORT int32_t korvant3_fremu_query(int32_t, int32_t, uint32_t, const char**) {
    return 107;
}
STUB_CALL(korvant3_fremu_enter, 108)
STUB_CALL(korvant3_fremu_exit, 109)
STUB_CALL(korvant3_fremu_get_money, 110)
STUB_TASK(korvant3_fremu_open_shift, 111)
STUB_TASK(korvant3_fremu_close_shift, 112)
STUB_TASK(korvant3_fremu_open_doc, 113)
STUB_TASK(korvant3_fremu_close_doc, 114)
STUB_COMMAND(korvant3_fremu_cancel_doc, 115)
STUB_TASK(korvant3_fremu_print, 116)
STUB_TASK(korvant3_fremu_add_item, 117)
STUB_TASK(korvant3_fremu_add_text, 118)
STUB_COMMAND(korvant3_fremu_report_x, 119)
STUB_COMMAND(korvant3_fremu_report_state, 120)
STUB_TASK(korvant3_fremu_registration, 121)
STUB_TASK(korvant3_fremu_set_agent, 122)
STUB_TASK(korvant3_fremu_close_archive, 123)
#ifndef STUB_WITHOUT_PRINT_DOC
STUB_TASK(korvant3_fremu_print_doc, 124)
#endif
