#!/usr/bin/env bash
# Sets up the machine, builds what the demonstration needs (korvant-host, the
# add-in, the register emulator) and runs it: a cashier's day at the till,
# driven through the add-in the way 1C:Enterprise drives it. The register lives
# in ./demo-data, made anew each run; arguments go to korvant-host, e.g.
#   scripts/demo.sh --programdata my-shop    (keeps the register between runs)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target korvant-host korvant3emu AddInKorvant64
exec "$build/bin/korvant-host" "$@" demo
