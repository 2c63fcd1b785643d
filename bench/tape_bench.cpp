// The register emulator printing a text document whose one line is a single
// word of n characters (a barcode pasted into a text line, say): the paper tape
// wraps it at the line width, in time that grows with n and not faster.
#include <string>

#include <benchmark/benchmark.h>

#include "bench_session.h"

namespace korvant::bench {
namespace {

void BM_PrintLongWord(benchmark::State& state) {
    const auto length = static_cast<size_t>(state.range(0));
    const auto tape = std::filesystem::temp_directory_path() / "korvant-bench-tape.txt";
    SessionOptions options;
    options.emulator = R"({"tape":")" + tape.string() + R"("})";
    auto& current = session(options);
    const std::string document = R"(<Document><Positions><TextString Text=")" +
                                 std::string(length, 'W') + R"("/></Positions></Document>)";
    PreparedCall print(current.component(), "PrintTextDocument",
                       {host::Value::text(current.device()), host::Value::text(document)});
    for (auto _ : state) {
        if (!print()) {
            state.SkipWithError("PrintTextDocument failed");
            break;
        }
    }
    state.SetComplexityN(state.range(0));
    // The register keeps a page beside its tape.
    std::filesystem::remove(tape);
    std::filesystem::remove(std::filesystem::path(tape).replace_extension(".html"));
}
BENCHMARK(BM_PrintLongWord)
    ->RangeMultiplier(10)
    ->Range(10000, 10000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Complexity(benchmark::oN);

} // namespace
} // namespace korvant::bench
