#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test:
#   1. the 64-bit Linux build and its whole test suite;
#   2. the hardening checks: the suite under the address and undefined-behaviour
#      sanitizers, a short run of every fuzz target, the host under valgrind
#      (scripts/test-hardening.sh);
#   3. the Windows builds, the 64-bit test suite under wine64, the 32-bit DLL
#      link-checked and its demonstration run under wine where 32-bit programs
#      run (scripts/build-windows.sh --test);
#   4. the 32-bit Linux build and its whole test suite (scripts/build-linux32.sh
#      --test; under QEMU's user-mode emulator where the kernel refuses 32-bit
#      programs);
#   5. the package with all four add-ins (scripts/package.sh), checked as 1C
#      and its equipment library read it.
#
# Compiling keeps both cores busy; running the tests mostly waits (on the register's time-outs,
# on processes, on wine). So the builds go one after another, and each build's tests run in the
# background while the next one compiles: their output goes to build-logs/<step>.log and is shown
# when a step fails. The package is made once every test has passed.
#
# Each step's time is printed as it ends, and all of them with the total at the end.
#
#   scripts/test.sh           everything (under 15 minutes on two cores from scratch on CI's
#                             machine, about 17 on a slower one; about 4 after one source file
#                             changed)
#   scripts/test.sh --linux   steps 1 and 4 only (about a minute once built)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
logs=$root/build-logs
everything=yes
for arg in "$@"; do
  case "$arg" in
    --linux) everything=no ;;
    *) echo "test.sh: unknown option $arg" >&2; exit 2 ;;
  esac
done
mkdir -p "$logs"

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

# Steps that run in the background: each in a process group of its own (job control), so that a
# failing foreground step stops them all, wine and its server included.
set -m
later_pids=()
later_names=()
later_logs=()
later_done=()
later() { # name command...
  local name=$1 log
  shift
  log="$logs/$(printf '%s' "$name" | tr -c 'A-Za-z0-9-' '-').log"
  rm -f "$log.status"
  (
    begun=$SECONDS
    status=0
    "$@" >"$log" 2>&1 </dev/null || status=$?
    echo "$status $((SECONDS - begun))" >"$log.status"
    exit "$status"
  ) &
  later_pids+=($!)
  later_names+=("$name")
  later_logs+=("$log")
  echo "test: $name goes on in the background ($log)"
}
stop_later() {
  local i
  for i in "${!later_pids[@]}"; do
    if [ -z "${later_done[$i]:-}" ]; then
      kill -TERM -- "-${later_pids[$i]}" 2>/dev/null || true
    fi
  done
}
trap stop_later EXIT

# Waits for the background steps named (all of them without a name); prints the output of those
# that failed. False if any did.
wait_later() {
  local i status seconds all=0
  for i in "${!later_pids[@]}"; do
    if [ -n "${later_done[$i]:-}" ] || { [ $# -gt 0 ] && [ "${later_names[$i]}" != "$1" ]; }; then
      continue
    fi
    later_done[$i]=yes
    wait "${later_pids[$i]}" || true
    read -r status seconds <"${later_logs[$i]}.status" 2>/dev/null || { status=1; seconds=0; }
    times+=("$(printf '%5d s  %s (in the background)' "$seconds" "${later_names[$i]}")")
    if [ "$status" = 0 ]; then
      echo "test: ${later_names[$i]} passed in $seconds s"
    else
      echo "test: ${later_names[$i]} FAILED (exit $status) after $seconds s; its output:"
      cat "${later_logs[$i]}"
      echo "test: ${later_names[$i]} FAILED (exit $status); the output above is in ${later_logs[$i]}"
      all=1
    fi
  done
  return "$all"
}

# What the Linux build needs comes first; the rest (the cross compilers, wine, clang, the browser)
# is installed while the Linux build compiles, and is there before the first test runs.
step "set-up"
"$root/scripts/setup.sh"
if [ "$everything" = yes ]; then
  later "set-up for the other builds" "$root/scripts/setup.sh" --windows --fuzz --browser
fi

step "Linux 64-bit build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build"
if [ "$everything" = yes ]; then
  wait_later "set-up for the other builds"
fi
# Most tests wait on the register's time-outs and on other processes rather than compute.
later "Linux 64-bit tests" ctest --test-dir "$build" --output-on-failure -j4

if [ "$everything" = yes ]; then
  step "sanitizer build"
  "$root/scripts/test-hardening.sh" --build
  later "hardening" env BUILD_DIR="$build" "$root/scripts/test-hardening.sh"

  step "Windows builds"
  "$root/scripts/build-windows.sh"
  later "Windows tests under wine" "$root/scripts/build-windows.sh" --test
fi

step "Linux 32-bit build"
"$root/scripts/build-linux32.sh"
# The last tests: nothing compiles beside them any more.
later "Linux 32-bit tests" env JOBS=8 "$root/scripts/build-linux32.sh" --test

step "waiting for the tests in the background"
wait_later

if [ "$everything" = yes ]; then
  step "package with every add-in"
  BUILD_DIR="$build" "$root/scripts/package.sh"
fi
step ""
printf 'test: %s\n' "${times[@]}"
echo "test: all tests passed in $((SECONDS - started)) s"
