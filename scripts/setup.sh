#!/usr/bin/env bash
# Installs what the build, the tests and the demo need, and fetches the tinyxml2 and
# libqrencode sources that the add-in and the emulator compile statically. Safe to run
# again: it only does what is missing.
#   scripts/setup.sh            Linux toolchain, libraries, tinyxml2 and libqrencode sources
#   scripts/setup.sh --windows  also the MinGW-w64 cross compilers, wine (64 and 32 bits: the
#                               i386 architecture is added for the latter), clang (which
#                               compiles the MSVC-ABI check of the Windows add-in) and LLVM's
#                               linker (which links the Windows test programs)
#   scripts/setup.sh --fuzz     also clang 14 with its sanitizer runtimes
#   scripts/setup.sh --browser  also Chromium and zbar, which render the emulator's receipt page
#                               and read back every code on it
# Where the kernel refuses 32-bit programs, QEMU's user-mode emulator is installed too: the
# 32-bit Linux build runs its tests under it.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
deps="$root/.deps"

packages=(build-essential cmake ninja-build pkg-config dpkg-dev
  nlohmann-json3-dev libtinyxml2-dev libsimpleini-dev libspdlog-dev libfmt-dev
  libgtest-dev libgmock-dev libbenchmark-dev g++-multilib python3 zip unzip valgrind locales)
windows=no
for arg in "$@"; do
  case "$arg" in
    --windows) windows=yes
      packages+=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64 wine32:i386
      binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 clang-14 lld-14) ;;
    --fuzz) packages+=(clang-14 libclang-rt-14-dev llvm-14) ;;
    --browser) packages+=(chromium zbar-tools) ;;
    *) echo "setup.sh: unknown option $arg" >&2; exit 2 ;;
  esac
done

sudo_() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

# A mirror being synchronised serves index files of the wrong size for a while ("Mirror sync in
# progress?"), and apt-get update then fails as a whole although it read the other lists. It is
# tried once more after a pause; if an index still cannot be read, the lists apt did read serve,
# and the install that follows says plainly if a package is really missing.
apt_retries=(-o Acquire::Retries=3)
updated=no
apt_update() {
  [ "$updated" = yes ] && return 0
  updated=yes
  sudo_ apt-get update -qq "${apt_retries[@]}" && return 0
  echo "setup: apt-get update failed; trying again in 15 s" >&2
  sleep 15
  sudo_ apt-get update -qq "${apt_retries[@]}" && return 0
  echo "setup: apt-get update failed again; going on with the package lists apt could read" >&2
}
apt_get_install() {
  sudo_ env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${apt_retries[@]}" "$@"
}
apt_install() {
  apt_get_install "$@" && return 0
  echo "setup: apt-get install failed; reading the package lists again and trying once more" >&2
  sleep 15
  updated=no
  apt_update
  apt_get_install "$@"
}

# wine32 is a package of the i386 architecture.
if [ "$windows" = yes ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "setup: adding the i386 architecture"
  sudo_ dpkg --add-architecture i386
  updated=no
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  apt_update
  apt_install "${missing[@]}"
fi

# The MinGW cross compilers take LLVM's linker for -fuse-ld=lld only as a sibling of their own:
# the Windows test programs link with it, in a fraction of the time binutils' linker takes.
if [ "$windows" = yes ]; then
  for arch in x86_64 i686; do
    if [ ! -e "/usr/bin/$arch-w64-mingw32-ld.lld" ]; then
      sudo_ ln -s /usr/bin/ld.lld-14 "/usr/bin/$arch-w64-mingw32-ld.lld"
    fi
  done
fi

# tinyxml2 and libqrencode are compiled from Debian's source packages, which need deb-src
# entries for the suites this machine already uses.
sources=()
ls "$deps"/tinyxml2-*/tinyxml2.cpp >/dev/null 2>&1 || sources+=(tinyxml2)
ls "$deps"/qrencode-*/qrencode.c >/dev/null 2>&1 || sources+=(qrencode)
if [ ${#sources[@]} -gt 0 ]; then
  src_list=/etc/apt/sources.list.d/korvant-deb-src.sources
  if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    tmp=$(mktemp)
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] || continue
      # Copy each stanza that serves Debian packages, as a deb-src stanza.
      awk 'BEGIN{RS=""; ORS="\n\n"} /Types:[^\n]*deb/ && /URIs:[^\n]*debian/ {
             gsub(/Types:[^\n]*/, "Types: deb-src"); print }' "$f" >>"$tmp"
    done
    if [ -f /etc/apt/sources.list ]; then
      grep -E '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' >/etc/apt/sources.list.d/korvant-deb-src.list || true
    fi
    if [ -s "$tmp" ]; then sudo_ cp "$tmp" "$src_list"; fi
    rm -f "$tmp"
    updated=no
  fi
  apt_update
  mkdir -p "$deps"
  for name in "${sources[@]}"; do
    echo "setup: fetching the source of $name"
    # Only the upstream sources are compiled. Where a mirror lacks the Debian part of the
    # package, apt still fetched (and checked) the upstream tarball, which is unpacked alone.
    # A download cut short by the mirror is tried again.
    for attempt in 1 2; do
      (cd "$deps" && { apt-get source -qq --download-only "${apt_retries[@]}" "$name" >/dev/null 2>&1 || true; } &&
        { dpkg-source -x --no-check "$name"_*.dsc >/dev/null 2>&1 || tar -xf "$name"_*.orig.tar.*; }) && break
      echo "setup: the source of $name could not be fetched (attempt $attempt)" >&2
      sleep 15
    done
  done
  ls "$deps"/tinyxml2-*/tinyxml2.cpp "$deps"/qrencode-*/qrencode.c >/dev/null
fi
# 32-bit Linux programs: run as they are where the kernel allows it, else under QEMU.
probe=$(mktemp -d)
if printf 'int main(void) { return 0; }\n' | gcc -m32 -x c - -o "$probe/probe" 2>/dev/null &&
  ! "$probe/probe" 2>/dev/null && ! command -v qemu-i386 >/dev/null; then
  echo "setup: this kernel refuses 32-bit programs; installing qemu-user to run them"
  apt_update
  apt_install qemu-user
fi
rm -rf "$probe"

# A Russian UTF-8 locale, so tests can prove numbers ignore the host's locale.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
  sudo_ localedef -i ru_RU -f UTF-8 ru_RU.UTF-8 || echo "setup: could not build the ru_RU.UTF-8 locale" >&2
fi
echo "setup: ready"
