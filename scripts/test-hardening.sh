#!/usr/bin/env bash
# The hardening checks, each timed:
#   1. the whole test suite built with the address and undefined-behaviour
#      sanitizers (no recovery, leaks detected) and run, each test program once
#      for all its cases (tests/CMakeLists.txt);
#   2. every fuzz target run for a short time (scripts/fuzz.sh), built in the
#      same clang tree as the sanitized suite, from the same objects;
#   3. korvant-host under valgrind's memcheck: the demonstration (a cashier's
#      day as it should go), and a whole shift with the device library failing
#      in several ways.
#
#   scripts/test-hardening.sh           build what is missing, then run every check
#   scripts/test-hardening.sh --build   only build the sanitized tree and its fuzz targets
#
# FUZZ_SECONDS: time per fuzz target (default 10). SANITIZE_BUILD_DIR
# (default build-sanitize: the suite and the fuzz targets, one clang tree) and
# BUILD_DIR (default build, the normal build scripts/test.sh makes; reused when
# present) name the build folders.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
sanitize_build=${SANITIZE_BUILD_DIR:-$root/build-sanitize}
build=${BUILD_DIR:-$root/build}
fuzz_seconds=${FUZZ_SECONDS:-10}
case "$*" in
  "") build_only=no ;;
  --build) build_only=yes ;;
  *) echo "test-hardening.sh: unknown arguments: $*" >&2; exit 2 ;;
esac

started=$SECONDS
step_started=$SECONDS
step() {
  echo "hardening: $1 (previous step $((SECONDS - step_started)) s)"
  step_started=$SECONDS
}

"$root/scripts/setup.sh" --fuzz

step "sanitizer build"
# One clang tree for the sanitized suite and the fuzz targets (cmake/hardening.cmake).
cmake -C "$root/cmake/hardening.cmake" -S "$root" -B "$sanitize_build" -G Ninja >/dev/null
cmake --build "$sanitize_build"
if [ "$build_only" = yes ]; then
  exit 0
fi

step "sanitized tests"
# The package tests check the shipped binaries, which a sanitizer build is not.
# intercept_tls_get_addr=0: the leak checker's tracking of dynamically loaded modules' thread-local
# blocks misreads glibc's bookkeeping in some memory layouts (after a test has loaded the add-in
# and the emulator) and crashes the checker itself ("Tracer caught signal 11"), failing a test
# that passed. Without it those blocks are not roots of the leak scan, which can only add reports,
# never hide a leak.
# Four at a time on two cores, as the other suites: most tests wait (on time-outs, on other
# processes), and the suite takes little more than half the time it takes two at a time.
ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:intercept_tls_get_addr=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$sanitize_build" --output-on-failure -j4 -E '^package\.'

step "fuzzing, ${fuzz_seconds} s per target"
FUZZ_BUILD_DIR="$sanitize_build" "$root/scripts/fuzz.sh" "$fuzz_seconds"

step "valgrind"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target korvant-host korvant3emu AddInKorvant64
memcheck() {
  valgrind -q --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite,indirect \
    --show-leak-kinds=definite,indirect "$build/bin/korvant-host" "$@" >/dev/null
}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# The demonstration: a cashier's day as it should go.
memcheck --programdata "$scratch/demo" demo
# A whole shift with the device library failing in several ways.
faults=()
while IFS= read -r rule; do
  [ -n "$rule" ] && faults+=(--fault "$rule")
done <"$root/tests/driver/hardening/whole_shift.faults"
memcheck --emulator "${faults[@]}" run "$root/tests/driver/hardening/whole_shift.json"

step "done"
echo "hardening: all checks passed in $((SECONDS - started)) s"
