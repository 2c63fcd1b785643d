#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test:
#   1. the 64-bit Linux build and its whole test suite;
#   2. the 32-bit Linux build and its whole test suite (scripts/build-linux32.sh
#      --test; under QEMU's user-mode emulator where the kernel refuses 32-bit
#      programs);
#   3. the Windows builds, the 64-bit test suite under wine64, the 32-bit DLL
#      link-checked and its demonstration run under wine where 32-bit programs
#      run (scripts/build-windows.sh --test);
#   4. the hardening checks: the suite under the address and undefined-behaviour
#      sanitizers, a short run of every fuzz target, the host under valgrind
#      (scripts/test-hardening.sh);
#   5. the package with all four add-ins (scripts/package.sh), checked as 1C
#      and its equipment library read it.
#
# Each step's time is printed as it ends, and all of them with the total at the end.
#
#   scripts/test.sh           everything (about 37 minutes on two cores from scratch, about
#                             7 after one source file changed)
#   scripts/test.sh --linux   steps 1 and 2 only (about 5 minutes once built)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
everything=yes
for arg in "$@"; do
  case "$arg" in
    --linux) everything=no ;;
    *) echo "test.sh: unknown option $arg" >&2; exit 2 ;;
  esac
done

# Each step's time as it ends, all of them again with the total at the end.
started=$SECONDS
step_name=
step_started=$SECONDS
times=()
step() {
  if [ -n "$step_name" ]; then
    times+=("$(printf '%5d s  %s' $((SECONDS - step_started)) "$step_name")")
    echo "test: $step_name took $((SECONDS - step_started)) s ($((SECONDS - started)) s so far)"
  fi
  step_name=$1
  step_started=$SECONDS
  if [ -n "$step_name" ]; then
    echo "test: $step_name"
  fi
}
step "set-up"

if [ "$everything" = yes ]; then
  "$root/scripts/setup.sh" --windows --fuzz --browser
else
  "$root/scripts/setup.sh"
fi

step "Linux 64-bit build and tests"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure -j2

step "Linux 32-bit build and tests"
"$root/scripts/build-linux32.sh" --test

if [ "$everything" = yes ]; then
  step "Windows builds and tests under wine64"
  "$root/scripts/build-windows.sh" --test

  step "hardening"
  BUILD_DIR="$build" "$root/scripts/test-hardening.sh"

  step "package with every add-in"
  BUILD_DIR="$build" "$root/scripts/package.sh"
fi
step ""
printf 'test: %s\n' "${times[@]}"
echo "test: all tests passed in $((SECONDS - started)) s"
