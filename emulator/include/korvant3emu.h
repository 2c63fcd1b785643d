/* The register emulator: a shared library with the 25 korvant3_ functions of the
 * device library, backed by a virtual fiscal register, and a control API
 * (korvant3emu_) for tests and demonstrations. One emulator per process. */
#ifndef KORVANT3EMU_H
#define KORVANT3EMU_H

#include <stdint.h>

#if defined(_WIN32)
#define KORVANT3EMU_API __declspec(dllexport)
#else
#define KORVANT3EMU_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Device library. Answers are NUL-terminated UTF-8 JSON texts owned by the
 * library, valid until the next call on the same handle. */
KORVANT3EMU_API int32_t korvant3_version(int32_t* major, int32_t* minor, int32_t* patch,
                                         int32_t* build);
KORVANT3EMU_API int32_t korvant3_open(const char* address, int32_t timeout_ms, const char** answer);
KORVANT3EMU_API int32_t korvant3_close(int32_t handle);
KORVANT3EMU_API int32_t korvant3_get_info(int32_t handle, int32_t timeout_ms, const char** answer);
KORVANT3EMU_API int32_t korvant3_get_state(int32_t handle, int32_t timeout_ms, const char** answer);
KORVANT3EMU_API int32_t korvant3_get_fdstate(int32_t handle, int32_t timeout_ms,
                                             const char** answer);
KORVANT3EMU_API int32_t korvant3_get_fdtag(int32_t handle, int32_t timeout_ms, const char* request,
                                           const char** answer);
KORVANT3EMU_API int32_t korvant3_fremu_query(int32_t handle, int32_t timeout_ms, uint32_t task,
                                             const char** answer);
KORVANT3EMU_API int32_t korvant3_fremu_enter(int32_t handle, int32_t timeout_ms,
                                             const char** answer);
KORVANT3EMU_API int32_t korvant3_fremu_exit(int32_t handle, int32_t timeout_ms,
                                            const char** answer);
KORVANT3EMU_API int32_t korvant3_fremu_get_money(int32_t handle, int32_t timeout_ms,
                                                 const char** answer);

#define KORVANT3EMU_TASK_WITH_REQUEST(name)                                                        \
    KORVANT3EMU_API int32_t name(int32_t handle, int32_t timeout_ms, uint32_t* task,               \
                                 const char* request, const char** answer);
#define KORVANT3EMU_TASK(name)                                                                     \
    KORVANT3EMU_API int32_t name(int32_t handle, int32_t timeout_ms, uint32_t* task,               \
                                 const char** answer);

KORVANT3EMU_TASK_WITH_REQUEST(korvant3_fremu_open_shift)
KORVANT3EMU_TASK_WITH_REQUEST(korvant3_fremu_close_shift)
KORVANT3EMU_TASK_WITH_REQUEST(korvant3_fremu_open_doc)
KORVANT3EMU_TASK_WITH_REQUEST(korvant3_fremu_close_doc)
KORVANT3EMU_TASK_WITH_REQUEST(korvant3_fremu_print)
KORVANT3EMU_TASK_WITH_REQUEST(korvant3_fremu_add_item)
KORVANT3EMU_TASK_WITH_REQUEST(korvant3_fremu_add_text)
KORVANT3EMU_TASK_WITH_REQUEST(korvant3_fremu_registration)
KORVANT3EMU_TASK_WITH_REQUEST(korvant3_fremu_set_agent)
KORVANT3EMU_TASK_WITH_REQUEST(korvant3_fremu_close_archive)
KORVANT3EMU_TASK_WITH_REQUEST(korvant3_fremu_print_doc)
KORVANT3EMU_TASK(korvant3_fremu_report_x)
KORVANT3EMU_TASK(korvant3_fremu_report_state)
KORVANT3EMU_TASK(korvant3_fremu_cancel_doc)

#undef KORVANT3EMU_TASK_WITH_REQUEST
#undef KORVANT3EMU_TASK

/* Control API. Returned texts stay valid until the next control call. */

/* A fresh register from a JSON configuration; NULL reads the file named by
 * KORVANT3EMU_CONFIG (defaults when unset), "" gives the defaults. Closes every
 * connection and clears tasks, journal and faults. Negative on an invalid
 * configuration, which leaves the emulator as it was. */
KORVANT3EMU_API int korvant3emu_reset(const char* config_json);

/* Every call since the last reset or clear, as a JSON array. */
KORVANT3EMU_API const char* korvant3emu_journal(void);
KORVANT3EMU_API void korvant3emu_clear_journal(void);

/* Adds a fault rule; 0 on success, -1 for a text that is not a JSON object,
 * -2 for a rule that cannot be applied. */
KORVANT3EMU_API int korvant3emu_inject(const char* rule_json);
KORVANT3EMU_API void korvant3emu_clear_faults(void);

/* The register's state as JSON. */
KORVANT3EMU_API const char* korvant3emu_state(void);

/* Moves the register's clock on (or back) by seconds; for example past the
 * 24 hours a shift may last. */
KORVANT3EMU_API int korvant3emu_advance_clock(int64_t seconds);

#ifdef __cplusplus
}
#endif

#endif
