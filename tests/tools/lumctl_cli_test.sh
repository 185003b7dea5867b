#!/usr/bin/env bash
# lumctl from the command line: defaults, dump, write and set, and how each fails.
# Usage: lumctl_cli_test.sh PATH-TO-LUMCTL
set -uo pipefail

tool=$1
lumctl=$tool
source "$(dirname "$0")/../cli.sh"

expect_rc() { [[ $rc == "$1" ]] || fail "$2: exit code $rc, expected $1 (stderr: $err)"; }
expect_same() { cmp -s "$1" "$2" || fail "$3: $1 and $2 differ"; }
hex_of() { od -An -v -tx1 "$1" | tr -d ' \n'; }
repeat() { local i; for ((i = 0; i < $2; i++)); do printf '%s' "$1"; done; }

# The start values, byte for byte.
start_hex="0201""0214""032c01""0202""060420 2a2a20""06023230""09""09""09"
start_hex+="0606 257469746 56c"                                   # "%titel"
start_hex+="061c 2573746174 7573 $(repeat 20 10) 2577696e616d707a656974" # second template
start_hex+="$(repeat 0600 6)$(repeat 02ff 8)"
start_hex+="$(repeat "$(repeat 0600 8)$(repeat 02ff 8)" 3)"
start_hex+="02ff""08""0200""0201""08""09"
start_hex=${start_hex// /}

# --- defaults ----------------------------------------------------------------------------------
defaults=$work/defaults.ini
run defaults "$defaults"
expect_rc 0 "defaults"
[[ $(stat -c %s "$defaults") == 193 ]] || fail "defaults: $(stat -c %s "$defaults") bytes, not 193"
[[ $(hex_of "$defaults") == "$start_hex" ]] || fail "defaults: not the 193 bytes of the example"
[[ -z $err && -z $out ]] || fail "defaults: printed something: $out $err"

# --- dump --------------------------------------------------------------------------------------
run dump "$defaults"
expect_rc 0 "dump"
[[ $(printf '%s\n' "$out" | wc -l) == 79 ]] || fail "dump: not 79 lines"
[[ $(printf '%s\n' "$out" | head -n 1) == "ComPort=1" ]] || fail "dump: first line"
[[ $(printf '%s\n' "$out" | tail -n 1) == "ReplaceUmlauts=true" ]] || fail "dump: last line"
grep -qxF 'Set1.Line2.Template="%status          %winampzeit"' "$work/stdout" ||
    fail "dump: second template"
grep -qxF 'Separator=" ** "' "$work/stdout" || fail "dump: separator"
grep -qxF 'Set4.Line8.ScrollMode=-1' "$work/stdout" || fail "dump: last scroll mode"

# dump | write reproduces the file byte for byte.
copy=$work/copy.ini
"$lumctl" dump "$defaults" | "$lumctl" write "$copy" || fail "dump | write: exit code"
expect_same "$defaults" "$copy" "dump | write of the start values"

# Every value away from its start value, with escapes: write, dump gives the same text back.
text="ComPort=9
LineWidth=80
UpdateInterval=999
LineCount=8
Separator=\" \\\"|\\\\ \"
InitCommand=\"-1\"
ShowMainWindow=false
DisplayOff=false
MainWindowMinimized=false
"
for set in 1 2 3 4; do
    for line in 1 2 3 4 5 6 7 8; do
        text+="Set$set.Line$line.Template=\"S${set}L${line} %titel \\xE4\\x00\\x7F\"
"
    done
    for line in 1 2 3 4 5 6 7 8; do
        text+="Set$set.Line$line.ScrollMode=$(((set + line) % 4 - 1))
"
    done
done
text+="BaudRateIndex=4
SendCarriageReturn=true
SetChangeSeconds=255
SetCount=4
Ba63Mode=true
ReplaceUmlauts=false
"
full=$work/full.ini
run_with_input "$text" write "$full"
expect_rc 0 "write of every value"
run dump "$full"
expect_rc 0 "dump of every value"
[[ "$out"$'\n' == "$text" ]] || fail "write then dump: text differs"
"$lumctl" dump "$full" | "$lumctl" write "$copy" || fail "dump | write: exit code"
expect_same "$full" "$copy" "dump | write of every value"

# dump shows what the plug-in loads: a stored LineWidth of 100 as 80.
wide=$work/wide.ini
cp "$defaults" "$wide"
printf '\x64' | dd of="$wide" bs=1 seek=3 conv=notrunc status=none
run dump "$wide"
expect_rc 0 "dump of LineWidth 100"
grep -qxF 'LineWidth=80' "$work/stdout" || fail "dump: LineWidth 100 not shown as 80"

# --- export and import -------------------------------------------------------------------------
# The binary file as lumd's configuration and back: the same bytes, for the start values and for
# every value changed (control bytes and Windows-1252's own characters in the texts among them).
for ini in "$defaults" "$full"; do
    run export "$ini"
    expect_rc 0 "export $ini"
    # The start values have the display switched off, which lumd would keep dark: a note says so.
    noted=no
    [[ $err == *"has the display switched off"* ]] && noted=yes
    [[ $noted == "$([[ $ini == "$defaults" ]] && echo yes || echo no)" ]] || fail "export $ini: note '$err'"
    cp "$work/stdout" "$work/exported.conf"
    chmod a-w "$work/exported.conf"
    run import "$work/exported.conf" "$work/imported.ini"
    expect_rc 0 "import of the export of $ini"
    expect_same "$ini" "$work/imported.ini" "export | import of $ini"
    rm -f "$work/exported.conf" "$work/imported.ini"
done
# lumd's own keys are said to stay out; a protocol of lumd's own and a bad value are refused with
# the file's place, the binary file left as it was.
printf '[display]\nport = "/dev/ttyUSB0"\nwidth = 40\n' >"$work/own.conf"
run import "$work/own.conf" "$work/own.ini"
expect_rc 0 "import with lumd's own keys"
[[ $err == "lumctl: note: display.port: lumd's own, not in the plug-in's file" ]] || fail "import note: $err"
cp "$defaults" "$work/kept.ini"
import_cases=(
    "[display]\nprotocol = \"escpos\"\n|2|lumctl: $work/bad.conf:2:12: display.protocol: \"escpos\" is lumd's own; the plug-in's file takes \"plain\", \"cr\" or \"ba63\""
    "[display]\nwidth = 7\n|2|lumctl: $work/bad.conf:2:9: display.width: 7 is not a whole number from 8 to 80"
)
for case in "${import_cases[@]}"; do
    IFS='|' read -r content code message <<<"$case"
    printf "$content" >"$work/bad.conf"
    run import "$work/bad.conf" "$work/kept.ini"
    expect_rc "$code" "import of $content"
    [[ $err == "$message" ]] || fail "import of $content: '$err', expected '$message'"
    expect_same "$defaults" "$work/kept.ini" "import of $content"
done
run import "$work/missing.conf" "$work/kept.ini"
expect_rc 1 "import of a missing file"

# --- set ---------------------------------------------------------------------------------------
edited=$work/edited.ini
cp "$defaults" "$edited"
run set "$edited" LineWidth=40
expect_rc 0 "set LineWidth=40"
# Exactly one byte differs: value 2's payload, 0x14 -> 0x28 (cmp prints octal 24 and 50).
[[ $(cmp -l "$defaults" "$edited") =~ ^\ *4\ +24\ +50$ ]] ||
    fail "set: not exactly the one byte changed: $(cmp -l "$defaults" "$edited" | head -n 3)"
"$lumctl" dump "$defaults" >"$work/before.txt"
"$lumctl" dump "$edited" >"$work/after.txt"
[[ $(diff "$work/before.txt" "$work/after.txt" | grep -c '^[<>]') == 2 ]] ||
    fail "set: dump differs in more than one line"
grep -qxF 'LineWidth=40' "$work/after.txt" || fail "set: LineWidth not 40"

run set "$edited" 'Set3.Line5.Template="a \"b\" \xE4"' Ba63Mode=true
expect_rc 0 "set of a text and a boolean"
run dump "$edited"
grep -qxF 'Set3.Line5.Template="a \"b\" \xE4"' "$work/stdout" || fail "set: template"
grep -qxF 'Ba63Mode=true' "$work/stdout" || fail "set: boolean"

# Text typed in UTF-8 is stored in Windows-1252 ('?' for what it lacks); an escape stays a byte.
run set "$edited" $'Separator="\xC3\xA4\xE2\x80\x99\xE6\x97\xA5\\x81"'
expect_rc 0 "set of UTF-8 text"
run dump "$edited"
grep -qxF 'Separator="\xE4\x92?\x81"' "$work/stdout" || fail "set: UTF-8 text: $(grep Separator <<<"$out")"

# A bad value: exit 2, the file unchanged, also when a good value came before it.
cp "$edited" "$work/edited.before"
for bad in LineWidth=100 LineWidth=abc Bogus=1 ShowMainWindow=maybe 'Separator=x' \
    'Separator="\q"' Set1.Line1.ScrollMode=3 BaudRateIndex=5 NoEquals LineCount=3 \
    LineWidth=99999999999999999999 $'Bo\x01gus=1'; do
    run set "$edited" LineCount=4 "$bad"
    expect_rc 2 "set $bad"
    [[ -n $err ]] || fail "set $bad: no explanation on stderr"
    expect_same "$work/edited.before" "$edited" "set $bad"
done
run set "$edited" LineWidth=100
[[ $err == *"LineWidth must lie between 8 and 80"* ]] || fail "set: range message: $err"
run set "$edited" LineWidth=-99999999999999999999
[[ $err == *"LineWidth must lie between 8 and 80"* ]] || fail "set: range of a huge number: $err"
run set "$edited" LineCount=4 LineCount=4
[[ $err == *"LineCount is given twice"* ]] || fail "set: duplicate: $err"
run set "$edited" $'Bo\x01gus=1'
[[ $err == *"unknown value name 'Bo\x01gus'"* ]] || fail "set: bytes not escaped: $err"

# --- damaged files -----------------------------------------------------------------------------
cut=$work/cut.ini
head -c 100 "$defaults" >"$cut"
run dump "$cut"
expect_rc 1 "dump of a cut file"
[[ $err == "lumctl: $cut: Stream-Read-Fehler (the values run past its end at 100 bytes: damaged, or not a settings file)" ]] ||
    fail "dump of a cut file: stderr '$err'"
[[ -z $out ]] || fail "dump of a cut file: printed values"
cp "$cut" "$work/cut.before"
run set "$cut" LineWidth=40
expect_rc 1 "set on a cut file"
expect_same "$work/cut.before" "$cut" "set on a cut file"

wrong=$work/wrong.ini
cp "$defaults" "$wrong"
printf '\x06' | dd of="$wrong" bs=1 seek=0 conv=notrunc status=none # ComPort given as a text
run dump "$wrong"
expect_rc 1 "dump of a wrong type"
[[ $err == "lumctl: $wrong: Ungültiger Wert der Eigenschaft ("*"wrong type"*")" ]] ||
    fail "dump of a wrong type: stderr '$err'"

run dump "$work/missing.ini"
expect_rc 1 "dump of a missing file"
[[ $err == "lumctl: $work/missing.ini: Datei $work/missing.ini kann nicht geöffnet werden (no such file)" ]] ||
    fail "dump of a missing file: stderr '$err'"

protected=$work/protected.ini
cp "$defaults" "$protected"
chmod 0444 "$protected"
# dump only reads, so it shows a write-protected file, and says that the plug-in cannot open it.
run dump "$protected"
expect_rc 0 "dump of a write-protected file"
[[ $out == "$("$lumctl" dump "$defaults")" ]] || fail "dump of a write-protected file: values"
[[ $err == "lumctl: note: $protected: Datei $protected kann nicht geöffnet werden (write-protected"* ]] ||
    fail "dump of a write-protected file: '$err'"
run_with_input "ComPort=2" write "$protected"
expect_rc 1 "write over a write-protected file"
[[ $err == "lumctl: $protected: Datei $protected kann nicht erstellt werden (write-protected)" ]] ||
    fail "write over a write-protected file: '$err'"
expect_same "$defaults" "$protected" "write over a write-protected file"

# --- write -------------------------------------------------------------------------------------
target=$work/target.ini
cp "$full" "$target"
run_with_input $'ComPort=2\nLineWidth=abc\nLineCount=3\n' write "$target"
expect_rc 2 "write with a bad line"
[[ $err == *"line 2"* && $err == *"'abc' is not a decimal integer"* ]] ||
    fail "write with a bad line: stderr '$err'"
expect_same "$full" "$target" "write with a bad line"

run_with_input $'# settings\n\nComPort=2\nComPort=3\n' write "$target"
expect_rc 2 "write with a duplicate"
[[ $err == *"line 4"* ]] || fail "write with a duplicate: stderr '$err'"
expect_same "$full" "$target" "write with a duplicate"

run_with_input $'Separator=unquoted\n' write "$work/new.ini"
expect_rc 2 "write of a new file with a bad line"
[[ ! -e $work/new.ini ]] || fail "write with a bad line created the file"

run_with_input "" write "$work/empty-input.ini"
expect_rc 0 "write of an empty text"
expect_same "$defaults" "$work/empty-input.ini" "write of an empty text gives the start values"

run_with_input "ComPort=2" write "$work/no-such-folder/gen_lum.ini"
expect_rc 1 "write into a missing folder"
[[ $err == *"kann nicht erstellt werden (the folder $work/no-such-folder does not exist)" ]] ||
    fail "write into a missing folder: stderr '$err'"

# --- entries that are no settings file --------------------------------------------------------
# Neither read (a FIFO would hang, a device never end) nor replaced by a plain file.
mkfifo "$work/fifo.ini"
ln -s /dev/zero "$work/zero.ini"
for entry in fifo zero; do
    timeout 20 "$lumctl" dump "$work/$entry.ini" >/dev/null 2>"$work/stderr"
    rc=$?
    expect_rc 1 "dump of $entry"
    grep -q "not a plain file" "$work/stderr" || fail "dump of $entry: $(cat "$work/stderr")"
done
run defaults "$work/fifo.ini"
expect_rc 1 "defaults over a FIFO"
[[ -p $work/fifo.ini ]] || fail "defaults replaced the FIFO"
# A file far beyond any settings file is a read error, read no further than the limit.
cp "$defaults" "$work/huge.ini"
truncate -s 17M "$work/huge.ini"
run dump "$work/huge.ini"
expect_rc 1 "dump of a 17 MiB file"
[[ $err == *"Stream-Read-Fehler (17825792 bytes, far more than any settings file holds)" ]] ||
    fail "dump of a 17 MiB file: '$err'"
# Through a symbolic link the link stays and its target is replaced.
mkdir "$work/real"
ln -s real/linked.ini "$work/link.ini"
run defaults "$work/link.ini"
expect_rc 0 "defaults through a link"
[[ -L $work/link.ini ]] || fail "defaults through a link replaced the link"
expect_same "$defaults" "$work/real/linked.ini" "defaults through a link"

# --- id3 and preview ---------------------------------------------------------------------------
run id3 "$defaults"
expect_rc 1 "id3 of a file without a tag"
[[ $err == "lumctl: $defaults: no ID3v1 tag at its end" ]] || fail "id3 without a tag: '$err'"
for bad in 0 6 99999999999999999999 x; do
    run preview --active-set "$bad"
    expect_rc 2 "preview --active-set $bad"
    [[ $err == "lumctl: --active-set $bad: must be a whole number from 1 to 5"$'\n'usage:* ]] ||
        fail "preview --active-set $bad: '$err'"
done
# Frames are written as they are made: the first ones of an endless run arrive at once.
frames=$(timeout 20 "$lumctl" preview --ticks 2147483647 | head -n 3 | wc -l)
[[ $frames == 3 ]] || fail "preview does not stream its frames ($frames lines)"

# --- usage -------------------------------------------------------------------------------------
run --help
expect_rc 0 "--help"
[[ $out == usage:* && -z $err ]] || fail "--help: '$out' '$err'"
# args | the first line of standard error (the usage follows)
usage_cases=(
    "|lumctl: no command given"
    "frobnicate $work/x.ini|lumctl: frobnicate: unknown command"
    "dump|lumctl: dump: missing FILE"
    "dump $work/a $work/b|lumctl: dump: $work/b: unexpected argument"
    "set $work/x.ini|lumctl: set: missing Name=value"
    "--bogus|lumctl: --bogus: unknown option"
    "preview --ticks|lumctl: --ticks: needs a value"
    "preview --state loud|lumctl: --state loud: must be stop, play or pause"
    "preview --now 2024-02-30T10:00:00|lumctl: --now 2024-02-30T10:00:00: must be a local date and time YYYY-MM-DDTHH:MM:SS"
    "preview --title \\q|lumctl: --title \\\\q: malformed escape (\\xHH, \\\" and \\\\ are the escapes)"
    "preview --banner --banner|lumctl: --banner: given twice"
)
for case in "${usage_cases[@]}"; do
    IFS='|' read -r args message <<<"$case"
    # shellcheck disable=SC2086
    run $args
    expect_rc 2 "usage: lumctl $args"
    [[ ${err%%$'\n'*} == "$message" && $err == *$'\n'"usage: lumctl "* && -z $out ]] ||
        fail "lumctl $args: stderr '$err', expected '$message' and the usage"
done

# No temporary files left behind anywhere in the work folder.
stray=$(find "$work" -name '*.ini.*' | grep -v '\.before$')
[[ -z $stray ]] || fail "temporary files left: $stray"

finish
