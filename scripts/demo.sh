#!/usr/bin/env bash
# Sets up the machine, builds, and runs the main job: the add-in loaded by
# korvant-host the way 1C:Enterprise loads it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target korvant-host AddInKorvant64
"$build/bin/korvant-host" methods
"$build/bin/korvant-host" run "$root/host/sessions/first-look.json"
