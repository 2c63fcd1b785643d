#!/usr/bin/env bash
# The 32-bit Linux add-in (libAddInKorvant.so) in build-linux32/. This machine
# links 32-bit code but cannot run it, so only the add-in is built and its
# exports and dependencies are checked.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR32:-$root/build-linux32}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-linux32.cmake" \
  -DKORVANT_TESTS=OFF -DKORVANT_BENCH=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target AddInKorvant
"$root/scripts/check-exports.sh" "$build/bin/libAddInKorvant.so"
