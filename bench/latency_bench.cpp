// A receipt's wall time when the register takes time of its own: 150 ms to open
// and to close the document and 20 ms per item, under the driver's default poll
// schedule and under the fixed 200 ms interval it used before.
#include <optional>

#include <benchmark/benchmark.h>

#include "bench_session.h"
#include "receipt_package.h"

namespace korvant::bench {
namespace {

constexpr int kPositions = 10;
constexpr int kOpenCloseMs = 150;
constexpr int kItemMs = 20;
constexpr double kDeviceMs = 2 * kOpenCloseMs + kPositions * kItemMs;

std::string deviceTime() {
    return R"({"task_ms":{"open_doc":)" + std::to_string(kOpenCloseMs) + R"(,"close_doc":)" +
           std::to_string(kOpenCloseMs) + R"(,"add_item":)" + std::to_string(kItemMs) +
           R"(,"add_text":)" + std::to_string(kItemMs) + "}}";
}

long polls(host::Emulator& emulator) {
    long count = 0;
    for (const auto& entry : emulator.journal()) {
        count += entry.value("function", std::string()) == "korvant3_fremu_query";
    }
    return count;
}

void BM_ReceiptLatency(benchmark::State& state, std::optional<int> pollIntervalMs) {
    SessionOptions options;
    options.pollIntervalMs = pollIntervalMs;
    options.emulator = deviceTime();
    auto& current = session(options);
    const auto processCheck = current.processCheck(salePackage(kPositions));
    current.emulator().clearJournal();
    for (auto _ : state) {
        if (!(*processCheck)()) {
            state.SkipWithError("ProcessCheck failed");
            break;
        }
    }
    state.counters["device_ms"] = kDeviceMs;
    state.counters["polls"] =
        static_cast<double>(polls(current.emulator())) / static_cast<double>(state.iterations());
}
BENCHMARK_CAPTURE(BM_ReceiptLatency, default_schedule, std::nullopt)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(6);
BENCHMARK_CAPTURE(BM_ReceiptLatency, fixed200, 200)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace
} // namespace korvant::bench
