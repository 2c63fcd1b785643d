// ProcessCheck against the emulator answering at once, and the same receipts'
// requests replayed straight into the emulator: the add-in's total against the
// device library's own cost.
#include <filesystem>
#include <random>
#include <string>

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

#include "bench_session.h"
#include "device_replay.h"
#include "journal_trim.h"
#include "receipt_package.h"

namespace korvant::bench {
namespace {

// Library calls of one receipt: open, an item per position and close, each
// started and polled once.
long callsPerReceipt(long positions) {
    return 2 * (positions + 2);
}

void countPositions(benchmark::State& state, long positions) {
    state.counters["positions"] = static_cast<double>(positions);
    state.SetItemsProcessed(state.iterations() * positions);
}

void processChecks(benchmark::State& state, const SessionOptions& options) {
    const long positions = state.range(0);
    auto& current = session(options);
    const auto processCheck = current.processCheck(salePackage(static_cast<int>(positions)));
    JournalTrim trim(current.emulator(), callsPerReceipt(positions));
    for (auto _ : state) {
        if (!(*processCheck)()) {
            state.SkipWithError("ProcessCheck failed");
            break;
        }
        trim.after(state);
    }
    countPositions(state, positions);
}

void BM_ProcessCheck(benchmark::State& state) {
    processChecks(state, {});
}
// The machine is shared: the median of a few runs stands for each size.
void receiptSizes(benchmark::internal::Benchmark* benchmark) {
    benchmark->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
    benchmark->Repetitions(5)->ReportAggregatesOnly(true);
}

BENCHMARK(BM_ProcessCheck)->Apply(receiptSizes);

// The log is on in a fresh configuration; this is what it costs.
void BM_ProcessCheck_LogOn(benchmark::State& state) {
    SessionOptions logOn;
    logOn.log = true;
    processChecks(state, logOn);
}
BENCHMARK(BM_ProcessCheck_LogOn)->Arg(10)->Arg(100)->Unit(benchmark::kMicrosecond)->MinTime(0.2);

// A large receipt with the register's state kept in a file, and without one. Every position is
// stored before it is answered; the state file must not make a position cost more as the
// receipt grows (scripts/bench.sh prints the ratio of the two).
void BM_LargeReceipt(benchmark::State& state) {
    const bool stateFile = state.range(1) != 0;
    const auto file = std::filesystem::temp_directory_path() /
                      ("korvant-bench-state-" + std::to_string(std::random_device()()) + ".json");
    SessionOptions options;
    if (stateFile) {
        options.emulator = nlohmann::json{{"state", file.string()}}.dump();
    }
    processChecks(state, options);
    if (stateFile) {
        // The register lets go of its files when it is configured anew.
        endSession();
        for (const auto& entry : std::filesystem::directory_iterator(file.parent_path())) {
            if (entry.path().filename().string().starts_with(file.filename().string())) {
                std::filesystem::remove(entry.path());
            }
        }
    }
}
BENCHMARK(BM_LargeReceipt)
    ->ArgsProduct({{1000, 10000}, {0, 1}})
    ->ArgNames({"positions", "state_file"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

void BM_DeviceReplay(benchmark::State& state) {
    const long positions = state.range(0);
    auto& current = session({});
    // One receipt through the add-in tells exactly which requests the device library gets.
    current.emulator().clearJournal();
    if (!(*current.processCheck(salePackage(static_cast<int>(positions))))()) {
        state.SkipWithError("ProcessCheck failed");
        return;
    }
    DeviceReplay replay(emulatorPath());
    replay.load(current.emulator().journal());
    JournalTrim trim(current.emulator(), callsPerReceipt(positions));
    for (auto _ : state) {
        if (!replay.run()) {
            state.SkipWithError("the replay failed");
            break;
        }
        trim.after(state);
    }
    countPositions(state, positions);
}
BENCHMARK(BM_DeviceReplay)->Apply(receiptSizes);

} // namespace
} // namespace korvant::bench
