// The control API: configuration, journal, fault injection and state, for the
// tests and demonstrations that drive the emulated register.

#include "korvant3emu.h"
#include "library/emulator.h"

namespace {

using korvant3emu::Emulator;

template <typename Result, typename Body> Result guarded(Result failure, Body body) {
    try {
        return body();
    } catch (...) {
        return failure;
    }
}

} // namespace

extern "C" {

int korvant3emu_reset(const char* config_json) {
    return guarded(-2, [&] { return Emulator::instance().reset(config_json); });
}

const char* korvant3emu_journal(void) {
    return guarded<const char*>("[]", [] { return Emulator::instance().journal(); });
}

void korvant3emu_clear_journal(void) {
    guarded(0, [] {
        Emulator::instance().clearJournal();
        return 0;
    });
}

int korvant3emu_inject(const char* rule_json) {
    return guarded(-2, [&] { return Emulator::instance().inject(rule_json); });
}

void korvant3emu_clear_faults(void) {
    guarded(0, [] {
        Emulator::instance().clearFaults();
        return 0;
    });
}

const char* korvant3emu_state(void) {
    return guarded<const char*>("{}", [] { return Emulator::instance().state(); });
}

int korvant3emu_advance_clock(int64_t seconds) {
    return guarded(-2, [&] { return Emulator::instance().advanceClock(seconds); });
}

} // extern "C"
