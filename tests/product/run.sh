#!/usr/bin/env bash
# Checks the shipped program's properties: a 32-bit GUI exe whose imports are Windows DLLs
# only, with the manifest and the icon embedded. Ends with one line "N passed, M failed".
set -u
REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
EXE=$REPO/build/windows-x86/Uninstall.exe
passed=0
failed=0
check() {
  local name=$1
  shift
  if "$@"; then
    echo "PASS $name"
    passed=$((passed + 1))
  else
    echo "FAIL $name"
    failed=$((failed + 1))
  fi
}

headers=$(i686-w64-mingw32-objdump -p "$EXE" 2>/dev/null)
check "32-bit PE for i386" grep -q 'file format pei-i386' <<<"$headers"
check "GUI subsystem" grep -q -E '^Subsystem\s+00000002' <<<"$headers"

# Only DLLs that Windows loads from its own list of known DLLs, whatever lies beside the program,
# and the common controls, which the manifest binds to the system's copy.
known_dlls='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|msvcrt|comdlg32|shlwapi|comctl32)\.dll$'
imports=$(sed -n -E 's/^\s*DLL Name: (.*)$/\1/p' <<<"$headers" | tr 'A-Z' 'a-z')
only_known() { [ -n "$imports" ] && ! grep -v -E "$known_dlls" <<<"$imports" | grep -q .; }
check "imports only known DLLs and the common controls ($(echo $imports))" only_known

# Small enough to ship beside every installed program: the C++ runtime's exception handling,
# demangler and printf stay out.
size=$(stat -c %s "$EXE")
check "at most 160 KB ($((size / 1024)) KB)" test "$size" -le $((160 * 1024))

resources=$(mktemp)
i686-w64-mingw32-windres -i "$EXE" -O rc -o "$resources" 2>/dev/null
manifest_checks() {
  grep -q 'requireAdministrator' "$resources" &&
    grep -q 'Microsoft.Windows.Common-Controls' "$resources" &&
    grep -q -E '6\.0\.0\.0' "$resources"
}
check "manifest asks for administrator rights and common controls 6" manifest_checks
# Per-monitor DPI awareness (v2, and the older form), and Windows 7 to 11 as supported.
dpi_checks() {
  grep -q 'true/pm' "$resources" && grep -q 'PerMonitorV2' "$resources" &&
    for id in 35138b9a 4a2f28e3 1f676c76 8e0f7a12; do grep -q "$id" "$resources" || return 1; done
}
check "manifest declares per-monitor DPI awareness and Windows 7 to 11" dpi_checks
icon_checks() {
  # Group icon 1 holds one image of 32 x 32 pixels ("\040\040") at 32 bits per pixel.
  grep -A4 -E '^1 14 /\* RT_GROUP_ICON' "$resources" |
    grep -q -E '"\\040\\040\\000\\000", 1, 32,'
}
check "icon resource 1, 32 x 32 at 32 bits per pixel" icon_checks
rm -f "$resources"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
