#!/usr/bin/env bash
# vfd from the command line: its option errors and --help, what --link may replace and what it
# removes at the end, and FIFOs as --file (no writer: ends at --seconds; a writer: read until it
# closes).
# Usage: vfd_cli_test.sh PATH-TO-VFD
set -euo pipefail

tool=$1
vfd=$tool
source "$(dirname "$0")/../cli.sh"

# wait_for_link PATH: waits (at most 10 s) until PATH is a symbolic link to a pty.
wait_for_link() {
    local i
    for ((i = 0; i < 100; i++)); do
        [[ $(readlink "$1" || true) == /dev/pts/* ]] && return 0
        sleep 0.1
    done
    return 1
}

# --- options -----------------------------------------------------------------------------------
# args | exit code | first line of standard error
option_cases=(
    "--pty --width 0|2|vfd: --width 0: must be a whole number from 8 to 80"
    "--pty --lines 9|2|vfd: --lines 9: must be a whole number from 1 to 8"
    "--device /dev/null --baud 12x|2|vfd: --baud 12x: must be a whole number from 50 to 4000000"
    "--pty --seconds 0|2|vfd: --seconds 0: must be a whole number from 1 to 86400"
    "--pty --width|2|vfd: --width: needs a value"
    "--pty --width --lines 4|2|vfd: --width: needs a value"
    "--pty --width 40 --width 80|2|vfd: --width: given twice"
    "--pty --frobnicate 1|2|vfd: --frobnicate: unknown option"
    "--pty extra|2|vfd: extra: unexpected argument"
    "--pty --file $work/x|2|vfd: give exactly one of --pty, --device and --file"
    "--file $work/x --link $work/y|2|vfd: --link $work/y: only with --pty"
    "--pty --charset cp865|2|vfd: --charset cp865: must be one of ascii, cp437, cp850, cp858, cp1252, latin1"
)
for case in "${option_cases[@]}"; do
    IFS='|' read -r args code message <<<"$case"
    # shellcheck disable=SC2086
    run $args
    [[ $rc == "$code" ]] || fail "vfd $args: exit code $rc, expected $code"
    [[ ${err%%$'\n'*} == "$message" && $err == *"usage: vfd"* ]] ||
        fail "vfd $args: stderr '$err', expected '$message' and the usage"
done
run --help
[[ $rc == 0 && $out == "usage: vfd "* && -z $err ]] || fail "--help: rc $rc, '$out', '$err'"

# --- --link ------------------------------------------------------------------------------------
# Anything but a symbolic link is refused and left as it was.
echo "precious" >"$work/file"
mkdir "$work/dir"
mkfifo "$work/fifo"
for entry in "file|a regular file" "dir|a directory" "fifo|a FIFO"; do
    IFS='|' read -r name kind <<<"$entry"
    run --pty --link "$work/$name" --seconds 1
    [[ $rc == 1 ]] || fail "--link over $kind: exit code $rc"
    [[ $err == "vfd: --link $work/$name: is $kind; only a symbolic link is replaced" ]] ||
        fail "--link over $kind: '$err'"
done
[[ $(cat "$work/file") == precious ]] || fail "--link changed the regular file"
[[ -d $work/dir && -p $work/fifo ]] || fail "--link changed the directory or the FIFO"

# A symbolic link is replaced (even a dangling one) and removed at the end; nothing new is made
# where there was nothing, and nothing else is left beside it.
ln -s "$work/dir" "$work/old-link"
ln -s "$work/missing" "$work/dangling"
for name in old-link dangling new-link; do
    "$vfd" --pty --link "$work/$name" --seconds 2 --quiet 2>/dev/null &
    pid=$!
    wait_for_link "$work/$name" || fail "--link at $name: no link to the pty"
    rc=0
    wait "$pid" || rc=$?
    [[ $rc == 0 ]] || fail "--link at $name: exit code $rc"
    if [[ -e $work/$name || -L $work/$name ]]; then
        fail "--link at $name: the link is left at the end"
    fi
done
[[ -d $work/dir ]] || fail "replacing a link to the directory touched the directory"
stray=$(find "$work" -name '*.vfd-*')
[[ -z $stray ]] || fail "temporary links left: $stray"

# What replaced the link meanwhile is not removed at the end.
for other in file link; do
    "$vfd" --pty --link "$work/taken" --seconds 2 --quiet 2>/dev/null &
    pid=$!
    wait_for_link "$work/taken" || fail "--link then a $other: no link to the pty"
    rm "$work/taken"
    if [[ $other == file ]]; then
        echo "theirs" >"$work/taken"
    else
        ln -s /dev/null "$work/taken"
    fi
    wait "$pid" || true
    [[ -e $work/taken ]] || fail "the $other that replaced the link was removed"
    rm -f "$work/taken"
done

# --- FIFOs as --file ---------------------------------------------------------------------------
mkfifo "$work/stream"
start=$SECONDS
run --file "$work/stream" --seconds 1 --dump
[[ $rc == 0 ]] || fail "a FIFO without a writer: exit code $rc (124: it hung)"
((SECONDS - start <= 5)) || fail "a FIFO without a writer took $((SECONDS - start)) s"
{
    printf 'Hallo'
    sleep 1
    printf ' Welt'
} >"$work/stream" &
run --file "$work/stream" --dump
[[ $rc == 0 && $out == "Hallo Welt          "* ]] || fail "a FIFO's stream: rc $rc, '$out'"
run --file "$work/dir"
[[ $rc == 1 && $err == "vfd: cannot read $work/dir: Is a directory" ]] ||
    fail "a directory as --file: rc $rc, '$err'"

finish
