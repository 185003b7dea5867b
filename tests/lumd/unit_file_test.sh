#!/usr/bin/env bash
# lumd's systemd unit as systemd itself reads it: an exposure of at most 3.0 in systemd-analyze's
# security review, while the sandbox still lets lumd open the serial ports and reach MPD and
# D-Bus on local sockets, with the file system read-only.
# Usage: unit_file_test.sh PATH-TO-lumd.service
set -euo pipefail

tool=systemd-analyze
unit=$1
source "$(dirname "$0")/../cli.sh"

run security --offline=true --threshold=30 "$unit"
[[ $rc == 0 ]] || fail "exposure above 3.0: ${out##*$'\n'}"
echo "${out##*$'\n'}"

run security --offline=true --json=short "$unit"
[[ $rc == 0 ]] || fail "no review in JSON: $err"
# name | what the review must say of it
expectations=(
    "DeviceAllow=|char-ttyUSB:rw"
    "DeviceAllow=|char-ttyACM:rw"
    "DeviceAllow=|char-ttyS:rw"
    "RestrictAddressFamilies=~AF_UNIX|may allocate local sockets"
    "ProtectSystem=|strict read-only access"
    "ProtectHome=|read-only access to home directories"
)
for expectation in "${expectations[@]}"; do
    IFS='|' read -r name said <<<"$expectation"
    description=$(python3 -c 'import json, sys
print(next(item["description"] for item in json.load(sys.stdin) if item["name"] == sys.argv[1]))' \
        "$name" <<<"$out")
    [[ $description == *"$said"* ]] || fail "$name: '$description', expected '$said'"
done

finish
