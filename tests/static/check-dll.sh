#!/usr/bin/env bash
# Static checks of the shipped 32-bit plug-in: a PE32 DLL for i386, exactly one export named
# winampGetGeneralPurposePlugin (undecorated), and imports from Windows system DLLs only.
set -uo pipefail
dll=${1:-build/win32/bin/plugins/gen_lum.dll}
dump=$(i686-w64-mingw32-objdump -p "$dll") || { echo "FAIL cannot read $dll"; exit 1; }
source "$(dirname "$0")/../check.sh"

check "PE32 for i386" grep -q 'file format pei-i386' <<<"$dump"
check "optional header magic 010b (PE32)" grep -qE '^Magic[[:space:]]+010b' <<<"$dump"

exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p')
check "exactly one export, winampGetGeneralPurposePlugin" test "$exports" = winampGetGeneralPurposePlugin

# Windows system DLLs only; nothing of the compiler's runtime.
allowed='^(kernel32|user32|gdi32|shell32|comctl32|advapi32|msvcrt|comdlg32|ole32|oleaut32|winmm|version|shlwapi|ws2_32)\.dll$'
imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump" | tr 'A-Z' 'a-z')
check "imports at least KERNEL32" grep -qx 'kernel32.dll' <<<"$imports"
for name in $imports; do
    check "import $name is a Windows system DLL" grep -qE "$allowed" <<<"$name"
done

echo "static checks of $dll: $failures failed"
((failures == 0))
