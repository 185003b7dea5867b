#!/usr/bin/env bash
# Static checks of the shipped installer: a PE32 program for i386 whose archive holds exactly
# the shipped 32-bit DLL (Plugins\gen_lum.dll), beside it only the uninstaller it writes.
set -uo pipefail
installer=$1
dll=${2:-build/win32/bin/plugins/gen_lum.dll}
dump=$(i686-w64-mingw32-objdump -p "$installer") || { echo "FAIL cannot read $installer"; exit 1; }
source "$(dirname "$0")/../check.sh"

check "PE32 for i386" grep -q 'file format pei-i386' <<<"$dump"
check "optional header magic 010b (PE32)" grep -qE '^Magic[[:space:]]+010b' <<<"$dump"
check "the archive holds the DLL and the uninstaller, nothing else" test \
    "$(7z l -slt "$installer" | sed -n '/^----------$/,$ s/^Path = //p')" = \
    $'Plugins/gen_lum.dll\nPlugins/gen_lum-uninstall.exe'
check "its DLL is the shipped one, byte for byte" \
    cmp -s <(7z x -so "$installer" Plugins/gen_lum.dll) "$dll"
echo "static checks of $installer: $failures failed"
((failures == 0))
