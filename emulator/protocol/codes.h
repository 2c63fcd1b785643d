#pragma once
// Result and answer codes of the emulated register. Library results are what a
// function returns; the answer carries "response" (R) and "extended" (E).

#include <cstdint>
#include <string>

namespace korvant3emu {

namespace result {
inline constexpr int32_t ok = 0;
inline constexpr int32_t no_connection = -1; // the handle names no open connection
inline constexpr int32_t failed = -2;        // the library could not do what was asked
inline constexpr int32_t bad_request = -8;   // request not JSON, or a needed member missing
} // namespace result

namespace response {
inline constexpr int32_t ok = 0;
inline constexpr int32_t failure = 1;     // the register could not be reached or used
inline constexpr int32_t bad_request = 2; // the request was rejected before any work
inline constexpr int32_t refused = 3;     // the register refused; "extended" says why
} // namespace response

namespace extended {
inline constexpr int32_t none = 0;
inline constexpr int32_t mode_unchanged = 101;   // already in (or out of) fiscal-register mode
inline constexpr int32_t not_in_mode = 102;      // operation needs fiscal-register mode
inline constexpr int32_t busy = 103;             // task still running
inline constexpr int32_t unknown_task = 104;     // no such task on this connection
inline constexpr int32_t bad_parameters = 106;   // a value the register cannot accept
inline constexpr int32_t shift_open = 107;       // shift already open
inline constexpr int32_t shift_expired = 108;    // shift older than 24 hours
inline constexpr int32_t payment_error = 109;    // payments do not fit the receipt
inline constexpr int32_t archive_closed = 110;   // fiscal storage archive closed
inline constexpr int32_t not_registered = 111;   // register not registered
inline constexpr int32_t not_enough_money = 112; // payments short, or drawer short
inline constexpr int32_t not_allowed = 113;      // not allowed in the present state
inline constexpr int32_t shift_closed = 114;     // shift already closed
inline constexpr int32_t not_stored = 115;       // the register could not store its state
inline constexpr int32_t clock_behind = 116;     // clock before the last fiscal document's date
} // namespace extended

// A refusal of the register: raised by an operation before it changes anything.
struct Refusal {
    int32_t extended;
    std::string reason;
};

inline void refuseUnless(bool condition, int32_t extended, const char* reason) {
    if (!condition) {
        throw Refusal{extended, reason};
    }
}

} // namespace korvant3emu
