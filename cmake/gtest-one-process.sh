#!/bin/sh
# Runs a GoogleTest program once for all its cases, where starting a process costs more than most
# cases do (under wine, and under the sanitizers), while ctest still lists, runs and reports every
# case by its name (tests/CMakeLists.txt sets this up):
#
#   gtest-one-process.sh run LOG RUNNER... -- PROGRAM ARGS...
#       runs PROGRAM once, its output into LOG.<shard>.out and its exit status into
#       LOG.<shard>.status, where <shard> is GoogleTest's GTEST_SHARD_INDEX (0 when the cases
#       are not dealt out among several runs); passes whatever the cases did (their verdicts are
#       the cases' own tests)
#   gtest-one-process.sh case LOG RUNNER... -- PROGRAM --gtest_filter=CASE ARGS...
#       CASE's verdict: its part of the runs' output, passed or failed as it was there. A case that has no
#       verdict there (the run stopped before it, or ended during it) or was skipped there (what
#       it needs may have been taken by a case before it in the same process) runs alone, in a
#       process of its own, as it would without this script
#   gtest-one-process.sh end LOG
#       fails when a run did not end as GoogleTest ends (a sanitizer's report at exit, a crash,
#       a time-out), showing how it ended; then removes the runs' output, so that no later case
#       reads it
#
# RUNNER is what starts the build's programs (wine, QEMU), or nothing. A case listing
# (--gtest_list_tests) goes straight to the program.
set -u
mode=$1
log=$2
shift 2

if [ "$mode" = end ]; then
  failed=0
  for out in "$log".*.out; do
    [ -f "$out" ] || continue
    status=$(cat "${out%.out}.status" 2>/dev/null || echo none)
    # GoogleTest exits 1 when a case failed; each such case fails as a test of its own.
    if grep -q '^\[==========\] [0-9]* tests\? from .* ran\.' "$out" &&
      { [ "$status" = 0 ] || [ "$status" = 1 ]; }; then
      continue
    fi
    echo "a run of the test program did not end normally (exit status $status); its output ends:"
    tail -n 60 "$out"
    failed=1
  done
  rm -f "$log".*.out "$log".*.status
  exit $failed
fi

# The runner's words, each quoted for the shell, then the program and its arguments as they are.
quote() { printf "'%s' " "$(printf '%s' "$1" | sed "s/'/'\\\\''/g")"; }
runner=
while [ "$#" -gt 0 ] && [ "$1" != -- ]; do
  runner="$runner$(quote "$1")"
  shift
done
shift # --

case " $* " in
  *" --gtest_list_tests "*) eval "exec $runner \"\$@\"" ;;
esac

if [ "$mode" = run ]; then
  out=$log.${GTEST_SHARD_INDEX:-0}.out
  rm -f "$out" "${out%.out}.status"
  eval "$runner \"\$@\"" >"$out" 2>&1 </dev/null
  echo $? >"${out%.out}.status"
  grep -E '^\[==========\]|^\[  (PASSED|FAILED|SKIPPED) +\] [0-9]' "$out" | tr -d '\r'
  exit 0
fi

filter=
for arg in "$@"; do
  case "$arg" in --gtest_filter=*) filter=${arg#--gtest_filter=} ;; esac
done

# The case's lines, from its start to its verdict; the verdict last.
verdict=$(awk -v name="$filter" '
  { sub(/\r$/, "") }
  !inside && $0 == "[ RUN      ] " name { inside = 1; print; next }
  inside {
    print
    if (index($0, "[       OK ] " name " (") == 1) { print "@@passed"; exit }
    if (index($0, "[  FAILED  ] " name " (") == 1 || index($0, "[  FAILED  ] " name ", ") == 1) {
      print "@@failed"; exit
    }
    if (index($0, "[  SKIPPED ] " name " (") == 1) { print "@@skipped"; exit }
    if (index($0, "[ RUN      ] ") == 1) { print "@@none"; exit }
  }
  END { if (!inside) print "@@none" }' "$log".*.out 2>/dev/null)
case "$verdict" in
  *@@passed) printf '%s\n' "${verdict%@@passed}"; exit 0 ;;
  *@@failed) printf '%s\n' "${verdict%@@failed}"; exit 1 ;;
esac
# No verdict of its own in the shared run: the case runs alone.
eval "exec $runner \"\$@\""
