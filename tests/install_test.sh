#!/usr/bin/env bash
# The install target below a prefix of the test's own: exactly the programs, the manual pages,
# the example configuration and the unit (its lumd the installed one), and man finding and
# rendering lumd.conf(5) there.
# Usage: install_test.sh BUILD_DIR INSTALLED_BINDIR
set -uo pipefail
build=$1
bindir=$2
tool=install
source "$(dirname "$0")/cli.sh"

cmake --install "$build" --prefix "$work" >"$work/install.log" 2>&1 || fail "install: $(cat "$work/install.log")"
expected="bin/lumctl bin/lumd bin/vfd lib/systemd/system/lumd.service share/doc/lumd/lumd.conf \
share/man/man1/lumctl.1 share/man/man1/vfd.1 share/man/man5/lumd.conf.5 share/man/man8/lumd.8"
installed=$(cd "$work" && find . -type f ! -name install.log | sed 's|^\./||' | sort | xargs)
[[ $installed == "$expected" ]] || fail "installed: $installed"
grep -qx "ExecStart=$bindir/lumd .*" "$work/lib/systemd/system/lumd.service" ||
    fail "the unit's ExecStart: $(grep ExecStart "$work/lib/systemd/system/lumd.service")"

export MANPATH=$work/share/man MANWIDTH=100
[[ $(man -w lumd.conf) == "$work/share/man/man5/lumd.conf.5" ]] || fail "man -w lumd.conf: $(man -w lumd.conf 2>&1)"
page=$(man lumd.conf 2>&1)
for text in "unknown key display.widht (did you mean display.width?)" "%winampzeitr" \
    "Maps to lumctl's BaudRateIndex." "cd5220"; do
    grep -qF -- "$text" <<<"$page" || fail "man lumd.conf shows no '$text'"
done
for page in lumd lumctl vfd; do
    man "$page" 2>&1 | grep -q -- "--version" || fail "man $page: no --version"
done
finish
