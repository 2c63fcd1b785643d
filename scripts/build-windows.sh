#!/usr/bin/env bash
# Sets up the machine (scripts/setup.sh --windows) and makes the Windows builds,
# cross-compiled with MinGW-w64:
#   build-mingw64/bin  AddInKorvant64.dll, korvant3emu.dll, korvant-host.exe and
#                      the test programs (run under wine64 by ctest)
#   build-mingw32/bin  AddInKorvant.dll, korvant3emu.dll, korvant-host.exe
#                      (SSE2 floating point, as on 64-bit), and the test programs of what
#                      differs on a 32-bit C runtime: the documents' values (dates past
#                      2038 and before 1970) and the Windows platform layer
# Both add-ins are checked to export exactly the three entry points and to
# import system DLLs only; the emulators to export undecorated names.
#   scripts/build-windows.sh           build both
#   scripts/build-windows.sh --addin-only   only the two add-ins (for the package)
#   scripts/build-windows.sh --test    also run the 64-bit tests under wine64, and the
#                                      32-bit tests and demonstration under wine where
#                                      this machine runs 32-bit programs (a kernel that
#                                      refuses them refuses the 32-bit part of wine too:
#                                      they are skipped with a note then)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build64=${BUILD_DIR_MINGW64:-$root/build-mingw64}
build32=${BUILD_DIR_MINGW32:-$root/build-mingw32}
jobs=${JOBS:-2}
run_tests=no
addin_only=no
for arg in "$@"; do
  case "$arg" in
    --test) run_tests=yes ;;
    --addin-only) addin_only=yes ;;
    *) echo "build-windows.sh: unknown option $arg" >&2; exit 2 ;;
  esac
done
if [ "$addin_only" = yes ] && [ "$run_tests" = yes ]; then
  echo "build-windows.sh: --addin-only builds nothing to test" >&2
  exit 2
fi

"$root/scripts/setup.sh" --windows

configure() { # build-folder toolchain extra-options...
  local build=$1 toolchain=$2
  shift 2
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DKORVANT_BENCH=OFF "$@" >/dev/null
}

configure "$build64" toolchain-mingw-x86_64.cmake -DKORVANT_TESTS=ON
if [ "$addin_only" = yes ]; then
  cmake --build "$build64" -j "$jobs" --target AddInKorvant64
else
  cmake --build "$build64" -j "$jobs"
  "$root/scripts/check-exports.sh" --plain "$build64/bin/korvant3emu.dll"
fi
"$root/scripts/check-exports.sh" "$build64/bin/AddInKorvant64.dll"

# Its few tests run one process per case: most test programs are listed but not built here. Like
# the 64-bit ones they are listed when they run, so building needs no wine that starts 32-bit
# programs.
configure "$build32" toolchain-mingw-i686.cmake -DKORVANT_TESTS=ON -DKORVANT_TESTS_IN_ONE_PROCESS=OFF
if [ "$addin_only" = yes ]; then
  cmake --build "$build32" -j "$jobs" --target AddInKorvant
else
  cmake --build "$build32" -j "$jobs" --target AddInKorvant korvant3emu korvant-host \
    documents_tests windows_platform_tests
  "$root/scripts/check-exports.sh" --plain "$build32/bin/korvant3emu.dll"
fi
"$root/scripts/check-exports.sh" "$build32/bin/AddInKorvant.dll"

# Wine starts processes of its own that outlive the program that caused them: its services, when
# the first program of a wine server starts, and the desktop process (explorer), when a program
# first needs the desktop; the latter comes and goes with the programs that use it. Each takes
# over the standard error of the program that caused it: under ctest that is the test's output,
# which then stays open for a minute after the test has ended (a passed test reported as a
# time-out), and in a test that runs korvant-host with its output in files, the file keeps a
# writer and the next run cannot open it ("Sharing violation"). So each prefix gets a session for
# the run: one wine server, its services and its desktop started with their output going
# nowhere, and a program attached to the desktop for the whole run, so that it never ends and no
# test starts another.
wine_session() { # build-folder
  local build=$1
  export WINEPREFIX="$build/wine-prefix"
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  "$build/wine-run" cmd /c exit </dev/null >/dev/null 2>&1 # makes the prefix on first use
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  /usr/lib/wine/wineserver -p
  "$build/wine-run" cmd /c exit </dev/null >/dev/null 2>&1
  # A pipe held open at both ends never ends the keeper's input.
  rm -f "$build/wine-keeper"
  mkfifo "$build/wine-keeper"
  "$build/wine-run" cmd <>"$build/wine-keeper" >/dev/null 2>&1 &
  "$build/wine-run" explorer /desktop </dev/null >/dev/null 2>&1 &
  # The desktop is up once explorer runs; a test must not be the one that starts it.
  local waited=0
  until pgrep -f 'explorer.exe /desktop' >/dev/null || [ $waited -ge 30 ]; do
    sleep 1
    waited=$((waited + 1))
  done
}
end_wine_session() { # build-folder
  WINEPREFIX="$1/wine-prefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
  rm -f "$1/wine-keeper"
}

if [ "$run_tests" = yes ]; then
  trap 'end_wine_session "$build64"; end_wine_session "$build32"' EXIT
  # Stopped from outside (scripts/test.sh stops its background steps when one fails): the wine
  # sessions end too.
  trap 'exit 143' TERM INT
  wine_session "$build64"
  ctest --test-dir "$build64" --output-on-failure -j "$jobs"
  end_wine_session "$build64"

  # The 32-bit build: its tests and its demonstration, where 32-bit programs run.
  if [ -x "$build32/wine-run" ] && "$build32/wine-run" cmd /c exit >/dev/null 2>&1; then
    wine_session "$build32"
    # Only the two test programs were built: the others are listed as not built.
    ctest --test-dir "$build32" --output-on-failure -j "$jobs" \
      -E '_NOT_BUILT$|^package\.|^page\.|^emulator_python'
    rm -rf "$build32/demo-data"
    "$build32/wine-run" "$build32/bin/korvant-host.exe" --programdata "$build32/demo-data" demo \
      >/dev/null
    echo "build-windows: the 32-bit demonstration ran under wine"
    end_wine_session "$build32"
  else
    echo "build-windows: the 32-bit tests and demonstration are skipped: this machine does" \
      "not run 32-bit programs"
  fi
fi
