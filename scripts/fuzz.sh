#!/usr/bin/env bash
# Builds the fuzz targets of fuzz/ (clang 14, libFuzzer with the address and
# undefined-behaviour sanitizers) and runs each for a fixed time. Fails on any
# crash, leak, time-out or sanitizer report; the input that caused it is kept
# in <build>/findings/<target>/.
#
#   scripts/fuzz.sh [seconds] [target...]
#
# seconds: per target (default 30; CI passes less, longer runs on demand).
# targets: names as in fuzz/CMakeLists.txt (default: all of them).
# FUZZ_BUILD_DIR (default build-fuzz) is the build folder; the corpus each run
# grows stays in <build>/corpus/<target>, seeded from fuzz/corpus/<target>, so
# later runs start where earlier ones stopped. FUZZ_JOBS targets run at once
# (default 2).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
jobs=${FUZZ_JOBS:-2}
seconds=${1:-30}
shift $(($# > 0 ? 1 : 0))

all_targets=$(sed -n 's/^korvant_fuzzer(\([a-z_0-9]*\).*/\1/p' "$root/fuzz/CMakeLists.txt")
targets=${*:-$all_targets}

"$root/scripts/setup.sh" --fuzz >/dev/null
# The hardening tree (cmake/hardening.cmake): optimised a little with line tables for the reports,
# the sanitizers on; scripts/test-hardening.sh builds its tests too.
cmake -C "$root/cmake/hardening.cmake" -S "$root" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target korvant_fuzzers -j"${CMAKE_BUILD_PARALLEL_LEVEL:-2}"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

run_target() {
  local target=$1
  local corpus="$build/corpus/$target" findings="$build/findings/$target"
  mkdir -p "$corpus" "$findings"
  # New inputs go to the first folder; the committed seeds are only read.
  local status=0
  "$build/bin/${target}_fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$findings/" \
    "$corpus" "$root/fuzz/corpus/$target" >"$build/$target.log" 2>&1 || status=$?
  echo "$status" >"$build/$target.status"
}

mkdir -p "$build"
failed=()
for target in $targets; do
  if [ ! -x "$build/bin/${target}_fuzzer" ]; then
    echo "fuzz: no target $target" >&2
    exit 2
  fi
  rm -f "$build/$target.status"
  run_target "$target" &
  # Keep at most $jobs runs going.
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do
    wait -n || true
  done
done
wait

printf '%-20s %12s %10s %s\n' target executions corpus outcome
for target in $targets; do
  outcome=clean
  if [ "$(cat "$build/$target.status")" != 0 ]; then
    outcome="FINDING (see $build/$target.log, $build/findings/$target/)"
    failed+=("$target")
  fi
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/$target.log" | tail -1)
  corpus=$(find "$build/corpus/$target" -type f | wc -l)
  printf '%-20s %12s %10s %s\n' "$target" "${executions:-?}" "$corpus" "$outcome"
done

if [ ${#failed[@]} -gt 0 ]; then
  for target in "${failed[@]}"; do
    echo "---- $target" >&2
    grep -m1 -A40 -E 'ERROR: |runtime error|broken property|==[0-9]+==' "$build/$target.log" >&2 || tail -40 "$build/$target.log" >&2
  done
  exit 1
fi
