#!/usr/bin/env bash
# The package a shop installs: builds the four add-ins (Linux and Windows, 64 and
# 32 bits) and writes build/AddInKorvant.zip with all four, MANIFEST.XML and
# INFO.XML, then checks it as 1C:Enterprise and its equipment library read it.
# Sets up the machine as the builds need (scripts/setup.sh --windows).
#   scripts/package.sh
# The build folders are those of the other scripts, and the same variables move
# them: BUILD_DIR, BUILD_DIR32, BUILD_DIR_MINGW64, BUILD_DIR_MINGW32.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
build32=${BUILD_DIR32:-$root/build-linux32}
mingw64=${BUILD_DIR_MINGW64:-$root/build-mingw64}
mingw32=${BUILD_DIR_MINGW32:-$root/build-mingw32}
if [ $# -ne 0 ]; then
  echo "package.sh: takes no arguments" >&2
  exit 2
fi

"$root/scripts/build-windows.sh" --addin-only
"$root/scripts/build-linux32.sh" --addin-only
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "-DKORVANT_PACKAGE_DIRS=$build32/bin;$mingw64/bin;$mingw32/bin" >/dev/null
cmake --build "$build" --target addin-package
python3 "$root/tests/package/check_package.py" --components 4 "$build/AddInKorvant.zip"
echo "package.sh: $build/AddInKorvant.zip"
