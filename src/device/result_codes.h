#pragma once
// How the device library's results and answer codes become an ErrorCode. Every
// mapping of the binding lives here.

#include <cstdint>

#include "device/error_code.h"

namespace korvant {

// Which kind of library call produced a result: only a call that starts a task
// reports a bad request (-8) on its own.
enum class LibraryCall { Plain, TaskStart };

// The code of a library call's own result; NoError for 0.
ErrorCode libraryResultCode(int32_t result, LibraryCall call);

// The code of an answer whose "response" is 3, by its "extended" sub-code.
ErrorCode subCodeError(int32_t extended);

// The answer tables in use.
enum class AnswerMapping {
    TaskStart,  // the answer of the call that starts a task
    TaskEnd,    // the answer of a poll of a running task
    Status,     // get_info, get_fdstate, get_state, fremu_get_money
    FiscalMode, // fremu_enter, fremu_exit
};

// What follows an answer.
enum class Next {
    Finish,              // done, with `code`; the answer text is kept on success
    FinishWithoutAnswer, // done with success, but there is no answer text to keep
    StartPolling,        // the task was accepted: poll it
    PollAgain,           // the task is still running
};

struct Verdict {
    Next next;
    ErrorCode code;
    bool operator==(const Verdict&) const = default;
};

Verdict mapAnswer(AnswerMapping mapping, int32_t response, int32_t extended);

} // namespace korvant
