#!/usr/bin/env bash
# The Windows builds, cross-compiled with MinGW-w64:
#   build-mingw64/bin  AddInKorvant64.dll, korvant3emu.dll, korvant-host.exe and
#                      the test programs (run under wine64 by ctest)
#   build-mingw32/bin  AddInKorvant.dll, korvant3emu.dll, korvant-host.exe
#                      (this machine cannot run 32-bit programs: built and
#                      link-checked only)
# Both add-ins are checked to export exactly the three entry points and to
# import system DLLs only; the emulators to export undecorated names.
#   scripts/build-windows.sh           build both
#   scripts/build-windows.sh --test    also run the 64-bit tests under wine64
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build64=${BUILD_DIR_MINGW64:-$root/build-mingw64}
build32=${BUILD_DIR_MINGW32:-$root/build-mingw32}
jobs=${JOBS:-2}
run_tests=no
for arg in "$@"; do
  case "$arg" in
    --test) run_tests=yes ;;
    *) echo "build-windows.sh: unknown option $arg" >&2; exit 2 ;;
  esac
done

configure() { # build-folder toolchain extra-options...
  local build=$1 toolchain=$2
  shift 2
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DKORVANT_BENCH=OFF "$@" >/dev/null
}

configure "$build64" toolchain-mingw-x86_64.cmake -DKORVANT_TESTS=ON
cmake --build "$build64" -j "$jobs"
"$root/scripts/check-exports.sh" "$build64/bin/AddInKorvant64.dll"
"$root/scripts/check-exports.sh" --plain "$build64/bin/korvant3emu.dll"

configure "$build32" toolchain-mingw-i686.cmake -DKORVANT_TESTS=OFF
cmake --build "$build32" -j "$jobs" --target AddInKorvant korvant3emu korvant-host
"$root/scripts/check-exports.sh" "$build32/bin/AddInKorvant.dll"
"$root/scripts/check-exports.sh" --plain "$build32/bin/korvant3emu.dll"

if [ "$run_tests" = yes ]; then
  # One wine server for the whole run: programs that start together would otherwise race to
  # start one. The prefix is made on first use.
  export WINEPREFIX="$build64/wine-prefix"
  "$build64/wine-run" cmd /c exit
  /usr/lib/wine/wineserver -p
  trap '/usr/lib/wine/wineserver -k || true' EXIT
  # A test that fails for wine's own reasons (a process that never starts, or hangs in wine)
  # gets one more try; a real failure fails both.
  ctest --test-dir "$build64" --output-on-failure -j "$jobs" --repeat until-pass:2
fi
