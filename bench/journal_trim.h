#pragma once
// The emulator journals every call. Left alone over thousands of receipts the
// journal would grow to its cap and cost memory the measurement does not
// mean; it is cleared now and then with the clock stopped.

#include <algorithm>

#include <benchmark/benchmark.h>

#include "host/setup/emulator.h"

namespace korvant::bench {

class JournalTrim {
public:
    // `callsPerIteration`: journal entries one iteration adds.
    JournalTrim(host::Emulator& emulator, long callsPerIteration)
        : emulator_(emulator), every_(std::max(1L, kEntries / std::max(1L, callsPerIteration))) {
        emulator_.clearJournal();
    }

    void after(benchmark::State& state) {
        if (++count_ % every_ == 0) {
            state.PauseTiming();
            emulator_.clearJournal();
            state.ResumeTiming();
        }
    }

private:
    static constexpr long kEntries = 5000;

    host::Emulator& emulator_;
    long every_;
    long count_ = 0;
};

} // namespace korvant::bench
