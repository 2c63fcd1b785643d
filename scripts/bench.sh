#!/usr/bin/env bash
# Measures the add-in and sums the measurements up: the benchmarks of bench/
# (host boundary, receipts against the emulator answering at once and the same
# requests replayed straight into it, receipt latency under simulated device
# time) and the peak memory of a process making a 1000-position receipt.
# Ends with one "FIGURE <name> <value>" line per figure.
#
#   scripts/bench.sh                  builds its own Release tree in build-bench
#   BUILD_DIR=build scripts/bench.sh  uses (and brings up to date) that tree
# Extra arguments go to the benchmark program (for example --benchmark_filter=...).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [ -n "${BUILD_DIR:-}" ]; then
  build=$BUILD_DIR
else
  build=$root/build-bench
  "$root/scripts/setup.sh" >/dev/null
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKORVANT_TESTS=OFF \
    -DKORVANT_BENCH=ON >/dev/null
fi
# Two jobs at most: the machines this runs on are shared.
cmake --build "$build" -j2 --target korvant_bench korvant_bench_memory

results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT

echo "== benchmarks"
"$build/bin/korvant_bench" --benchmark_min_time=0.2 \
  --benchmark_out="$results/bench.json" --benchmark_out_format=json "$@"

echo "== peak memory of a process making a 1000-position receipt"
"$build/bin/korvant_bench_memory" 1000 | tee "$results/memory.json"

python3 "$root/bench/summary.py" "$results/bench.json" "$results/memory.json"
