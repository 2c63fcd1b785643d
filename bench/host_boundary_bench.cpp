// The price of crossing the host boundary: finding a method by name and the
// simplest method call, GetLastError, which hands a text back through the
// host's memory manager.
#include <string>

#include <benchmark/benchmark.h>

#include "bench_session.h"

namespace korvant::bench {
namespace {

void BM_FindMethod(benchmark::State& state, const char16_t* name) {
    auto& component = session({}).component();
    const std::u16string_view method(name);
    for (auto _ : state) {
        benchmark::DoNotOptimize(component.findMethod(method));
    }
}
// The first names of the table are found soonest; the last Russian one is the worst case.
BENCHMARK_CAPTURE(BM_FindMethod, GetLastError, u"GetLastError");
BENCHMARK_CAPTURE(BM_FindMethod, last_russian, u"ПодтвердитьКМ");

void BM_CallAsFunc_GetLastError(benchmark::State& state) {
    auto& current = session({});
    PreparedCall getLastError(current.component(), "GetLastError", {host::Value::empty()});
    for (auto _ : state) {
        if (!getLastError()) {
            state.SkipWithError("GetLastError failed");
            break;
        }
    }
}
BENCHMARK(BM_CallAsFunc_GetLastError);

} // namespace
} // namespace korvant::bench
