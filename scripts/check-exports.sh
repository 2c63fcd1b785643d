#!/usr/bin/env bash
# Checks that an add-in exports exactly the three entry points the host looks up
# and depends on nothing beyond the C runtime of the OS.
#   scripts/check-exports.sh ADDIN           an add-in (.so or .dll)
#   scripts/check-exports.sh --plain DLL     any Windows DLL of ours (the emulator): every
#                                            export an undecorated C name, system imports only
set -euo pipefail
plain=no
if [ "${1:-}" = --plain ]; then
  plain=yes
  shift
fi
addin=$1
fail() { echo "check-exports: $addin: $*" >&2; exit 1; }

dll_exports() {
  objdump -p "$addin" | awk '/\[Ordinal\/Name Pointer\] Table/ {t=1; next} t && /^[ \t]*\[/ {print $NF} t && /^$/ {t=0}' | sort
}

dll_imports_system_only() {
  for dll in $(objdump -p "$addin" | awk '/DLL Name:/ {print tolower($3)}'); do
    case "$dll" in
      kernel32.dll|user32.dll|ole32.dll|shell32.dll|advapi32.dll|msvcrt.dll|ucrtbase.dll|api-ms-win-*|ws2_32.dll|oleaut32.dll|shlwapi.dll|winmm.dll) ;;
      *) fail "imports $dll" ;;
    esac
  done
}

case "$plain:$addin" in
  yes:*.dll)
    exports=$(dll_exports)
    [ -n "$exports" ] || fail "exports nothing"
    decorated=$(echo "$exports" | grep -E '[@?]|^_' || true)
    [ -z "$decorated" ] || fail "decorated exports: $decorated"
    dll_imports_system_only ;;
  no:*.so)
    exports=$(nm -D --defined-only "$addin" | awk '{print $3}' | sort | tr '\n' ' ')
    [ "$exports" = "DestroyObject GetClassNames GetClassObject " ] || fail "exports: $exports"
    needed=$(objdump -p "$addin" | awk '/NEEDED/ {print $2}')
    for lib in $needed; do
      case "$lib" in
        libc.so.*|libm.so.*|libdl.so.*|libpthread.so.*|ld-linux*) ;;
        *) fail "depends on $lib" ;;
      esac
    done ;;
  no:*.dll)
    exports=$(dll_exports | tr '\n' ' ')
    [ "$exports" = "DestroyObject GetClassNames GetClassObject " ] || fail "exports: $exports"
    dll_imports_system_only ;;
  *) fail "unknown kind of file" ;;
esac
echo "check-exports: $addin ok"
