#!/usr/bin/env bash
# The stand-in host under Wine: loads the real plug-in and a probe plug-in, answers queries from
# its playlist, logs commands and message boxes, and rejects a bad playlist or a missing plug-in.
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/../check.sh"

# Lays out a host folder: lumhost.exe with plugins\gen_lum.dll taken from $2.
make_host() {
    mkdir -p "$1/plugins"
    cp "$WIN64_BUILD/bin/lumhost.exe" "$1/"
    [[ -n "${2:-}" ]] && cp "$2" "$1/plugins/gen_lum.dll"
    printf '#EXTM3U\r\n#EXTINF:2,First Song\r\nmusic\\one.mp3\r\n#EXTINF:-1,No Length\r\ntwo.mp3\r\nthree.mp3\r\n' \
        > "$1/list.m3u"
}

# The real plug-in loads, and quits and unloads cleanly.
make_host "$work/real" "$WIN64_BUILD/bin/plugins/gen_lum.dll"
out=$(printf 'quit\n' | run_windows "$work/real/lumhost.exe" --auto-dismiss "$work/real/list.m3u")
rc=$?
check "real plug-in: exit code 0" test "$rc" -eq 0
check "real plug-in: description" grep -qx 'loaded Lum Plugin 2.4 SE.*' <<<"$out"
check "real plug-in: exit is the last event" test "$(tail -n 1 <<<"$out")" = exit

# The probe shows the host's answers: after "select 2" + "play" the third entry plays.
make_host "$work/probe" "$WIN64_BUILD/tests/probe.dll"
out=$(printf 'select 2\nplay\nsleep 1200\nconfig\nsleep 200\nconfig\nquit\n' |
    run_windows "$work/probe/lumhost.exe" --auto-dismiss "$work/probe/list.m3u")
folder=$(sed -n 's/.*file=\(.*\)three\.mp3 .*/\1/p' <<<"$out" | head -n 1)
check "probe: loaded" grep -qx 'loaded probe plug-in' <<<"$out"
check "probe: playing third entry without length" \
    grep -qE '^messagebox state=1 time=[12] length=-1 list=2 file=.*three\.mp3 title=three\.mp3 beyond=\[\]$' <<<"$out"
check "probe: file names are absolute" grep -qE '^[A-Z]:\\\\' <<<"$folder"
check "probe: pause command logged" test "$(grep -c '^command 40046$' <<<"$out")" -eq 2
check "probe: paused after the first pause command" \
    grep -qE '^messagebox state=3 time=[0-9]+ length=-1 list=2 ' <<<"$out"
check "probe: quit called before unload" \
    test "$(tail -n 2 <<<"$out" | tr '\n' '|')" = 'messagebox probe quit|exit|'

# A track with a length ends and the next entry starts.
out=$(printf 'play\nsleep 2600\nconfig\nquit\n' |
    run_windows "$work/probe/lumhost.exe" --auto-dismiss "$work/probe/list.m3u")
check "probe: next entry after the end of a track" \
    grep -qE '^messagebox state=1 time=[0-9]+ length=-1 list=1 file=.*two\.mp3 title=No Length ' <<<"$out"

# --version: the program's name and the project's version alone.
out=$(run_windows "$WIN64_BUILD/bin/lumhost.exe" --version)
rc=$?
check "--version: exit code 0" test "$rc" -eq 0
check "--version: 'lumhost VERSION'" grep -qxE 'lumhost [0-9]+\.[0-9]+(\.[0-9]+)*' <<<"$out"

# Bad set-ups: exit code 2 and a message on standard error.
mkdir -p "$work/empty"
make_host "$work/bare"
err=$(printf 'quit\n' | run_windows "$work/bare/lumhost.exe" "$work/bare/list.m3u" 2>&1 >/dev/null)
rc=$?
check "missing plug-in: exit code 2" test "$rc" -eq 2
check "missing plug-in: message" grep -q 'cannot load plug-in' <<<"$err"
printf '#EXTINF:abc,Broken\r\nx.mp3\r\n' > "$work/real/bad.m3u"
err=$(printf 'quit\n' | run_windows "$work/real/lumhost.exe" "$work/real/bad.m3u" 2>&1 >/dev/null)
rc=$?
check "bad playlist: exit code 2" test "$rc" -eq 2
check "bad playlist: message names the line" grep -q 'line 1' <<<"$err"

for bad in with-nul huge; do
    case $bad in
    with-nul) printf 'a.mp3\r\nb\0.mp3\r\n' >"$work/real/$bad.m3u" ;;
    huge) truncate -s 17M "$work/real/$bad.m3u" ;;
    esac
    err=$(printf 'quit\n' | run_windows "$work/real/lumhost.exe" "$work/real/$bad.m3u" 2>&1 >/dev/null)
    rc=$?
    check "$bad playlist: exit code 2" test "$rc" -eq 2
    check "$bad playlist: message" grep -qE 'line 2: a NUL byte|larger than 16 MiB' <<<"$err"
done

# Player commands with a bad or out-of-range argument are refused and change nothing: the probe
# still shows the first entry, stopped at 0.
err=$(printf 'seek x\nselect 3\nseek 2001\nselect -1\nconfig\nsleep 200\nquit\n' |
    run_windows "$work/probe/lumhost.exe" --auto-dismiss "$work/probe/list.m3u" 2>&1 >"$work/out")
check "bad arguments: each one named" test "$(grep -c '^lumhost: bad argument: ' <<<"$err")" -eq 4
check "bad arguments: out of range explained" grep -q 'select 3 (the playlist has entries 0 to 2)' <<<"$err"
check "bad arguments: nothing changed" \
    grep -qE '^messagebox state=0 time=0 length=2 list=0 file=.*\\\\music\\\\one\.mp3 ' "$work/out"

echo "lumhost under Wine: $failures failed"
((failures == 0))
