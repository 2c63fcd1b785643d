#!/usr/bin/env bash
# The 32-bit Linux build in build-linux32/: the add-in (libAddInKorvant.so), the
# register emulator, korvant-host and the tests (GoogleTest compiled for 32 bits
# from Debian's source), with SSE2 floating point as on 64-bit. The add-in's
# exports and dependencies are checked.
#   scripts/build-linux32.sh           set up the machine and build
#   scripts/build-linux32.sh --test    also run the whole test suite (under QEMU's
#                                      user-mode emulator where the kernel refuses
#                                      32-bit programs)
#   scripts/build-linux32.sh --addin-only   only the add-in (for the package)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR32:-$root/build-linux32}
jobs=${JOBS:-2}
targets=()
case "$*" in
  "") run_tests=no ;;
  --test) run_tests=yes ;;
  --addin-only) run_tests=no; targets=(--target AddInKorvant) ;;
  *) echo "build-linux32.sh: unknown arguments: $*" >&2; exit 2 ;;
esac

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-linux32.cmake" \
  -DKORVANT_TESTS=ON -DKORVANT_BENCH=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$jobs" "${targets[@]}"
"$root/scripts/check-exports.sh" "$build/bin/libAddInKorvant.so"
if [ "$run_tests" = yes ]; then
  ctest --test-dir "$build" --output-on-failure -j "$jobs"
fi
