#!/usr/bin/env bash
# The Windows build of lumctl under Wine writes the same bytes and prints the same text as the
# native build, so files move freely between the two.
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
native=${NATIVE_BUILD:-$(dirname "$WIN64_BUILD")/native}/bin/lumctl

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/../check.sh"

"$native" defaults "$work/native.ini"
"$native" set "$work/native.ini" 'Separator=" \xE4\x01 "' UpdateInterval=999 Set4.Line8.ScrollMode=2
run_windows "$WIN64_BUILD/bin/lumctl.exe" defaults "$work/windows.ini"
cp "$work/windows.ini" "$work/windows.ini.defaults"
run_windows "$WIN64_BUILD/bin/lumctl.exe" set "$work/windows.ini" 'Separator=" \xE4\x01 "' \
    UpdateInterval=999 Set4.Line8.ScrollMode=2
check "same file from both builds" cmp -s "$work/native.ini" "$work/windows.ini"
check "same dump from both builds" \
    test "$(run_windows "$WIN64_BUILD/bin/lumctl.exe" dump "$work/native.ini" | tr -d '\r')" = "$("$native" dump "$work/native.ini")"
printf 'ComPort=3\nLineWidth=oops\n' | run_windows "$WIN64_BUILD/bin/lumctl.exe" write "$work/windows.ini" 2>/dev/null
rc=$?
check "bad input: exit code 2" test "$rc" -eq 2
check "bad input: file unchanged" cmp -s "$work/native.ini" "$work/windows.ini"

# Entries that are no settings file: a FIFO is neither read (no hang) nor replaced, and saving
# through a symbolic link keeps the link.
mkfifo "$work/fifo.ini"
timeout 60 "$WINE64" "$WIN64_BUILD/bin/lumctl.exe" dump "$work/fifo.ini" >/dev/null 2>&1
check "dump of a FIFO fails at once" test $? -eq 1
run_windows "$WIN64_BUILD/bin/lumctl.exe" defaults "$work/fifo.ini" 2>/dev/null
check "defaults leaves a FIFO alone" test -p "$work/fifo.ini"
mkdir "$work/real"
echo old >"$work/real/linked.ini"
ln -s real/linked.ini "$work/link.ini"
run_windows "$WIN64_BUILD/bin/lumctl.exe" defaults "$work/link.ini"
check "saving through a link keeps the link" test -L "$work/link.ini"
check "saving through a link writes its target" cmp -s "$work/real/linked.ini" "$work/windows.ini.defaults"

echo "lumctl under Wine: $failures failed"
((failures == 0))
