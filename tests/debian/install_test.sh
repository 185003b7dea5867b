#!/usr/bin/env bash
# The amd64 package on this machine (as root): installed with dpkg -i, its programs, manual
# pages, configuration and unit as a user meets them, lintian without errors, and dpkg --purge
# leaving nothing behind (its files, the user lumd, the unit's links, the state folder). The
# machine must not have lumd or its user already; a failing run purges too.
#
#   tests/debian/install_test.sh build/package/lumd_VERSION_amd64.deb
set -uo pipefail
deb=$(realpath "$1")
source "$(dirname "$0")/../check.sh"
version=$(dpkg-deb -f "$deb" Version)
unit=/lib/systemd/system/lumd.service

if [[ $(id -u) != 0 ]]; then
    echo "FAIL installing a package needs root"
    exit 1
fi
if dpkg-query -W lumd >/dev/null 2>&1 || getent passwd lumd >/dev/null; then
    echo "FAIL lumd or its user is on this machine already: the test would change what is there"
    exit 1
fi
trap 'dpkg --purge lumd >/dev/null 2>&1' EXIT

# What a user meets after the installation.
installed=$(dpkg -i "$deb" 2>&1)
check "dpkg -i installs it" test $? = 0
check "lumd --version says $version" test "$(lumd --version)" = "lumd $version"
for page in lumd.8 lumd.conf.5 lumctl.1 vfd.1; do
    check "man -w finds $page" man -w "${page##*.}" "${page%.*}"
done
check "/etc/lumd.conf is a conffile" grep -q '^ /etc/lumd.conf ' \
    <<<"$(dpkg-query -W -f='${Conffiles}\n' lumd)"
check "systemd-analyze verify of the installed unit" systemd-analyze verify "$unit"
check "the user lumd, in the group dialout" test "$(id -gn lumd 2>/dev/null)" = dialout
wants=/etc/systemd/system/multi-user.target.wants/lumd.service
check "without a port in /etc/lumd.conf the unit is not enabled" test ! -e "$wants"
check "and the installation says what to do" grep -q 'set \[display\] port in /etc/lumd.conf' \
    <<<"$installed"
printf '[display]\nport = "/dev/ttyUSB0"\n' >>/etc/lumd.conf
check "installed again with a port, the changed conffile stays" dpkg -i "$deb"
check "and the unit is enabled" test -L "$wants"
check "/etc/lumd.conf keeps the port" grep -q '^port = "/dev/ttyUSB0"$' /etc/lumd.conf
check "lintian finds no error" lintian --fail-on error "$deb"

# The purge: nothing of the package stays.
files=$(dpkg-query -L lumd | while read -r path; do [[ -f $path ]] && echo "$path"; done)
check "dpkg --purge removes it" dpkg --purge lumd
check "none of its $(wc -l <<<"$files") files is left" test -z \
    "$(while read -r path; do [[ -e $path ]] && echo "$path"; done <<<"$files")"
check "the user lumd is gone" test -z "$(getent passwd lumd)"
check "no link to the unit is left" test -z "$(find /etc/systemd -name 'lumd*')"
check "the unit's enablement record is gone" test -z \
    "$(find /var/lib/systemd/deb-systemd-helper-enabled -name 'lumd*' 2>/dev/null)"
check "/var/lib/lumd is gone" test ! -e /var/lib/lumd
echo "the amd64 package: $failures check(s) failed"
((failures == 0))
