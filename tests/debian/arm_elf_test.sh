#!/usr/bin/env bash
# The ARM packages hold what they claim: each program an ELF file of the package's architecture
# (file and readelf), with the architecture's loader, armhf's with the hard-float calling
# convention, and Depends on the architecture's libraries (computed by dh_shlibdeps).
#
#   tests/debian/arm_elf_test.sh lumd_VERSION_arm64.deb [lumd_VERSION_armhf.deb]
set -uo pipefail
source "$(dirname "$0")/../check.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# architecture: what file says, readelf's machine, the program loader
declare -A kind=([arm64]="ELF 64-bit LSB pie executable, ARM aarch64"
    [armhf]="ELF 32-bit LSB pie executable, ARM, EABI5")
declare -A machine=([arm64]=AArch64 [armhf]=ARM)
declare -A loader=([arm64]=/lib/ld-linux-aarch64.so.1 [armhf]=/lib/ld-linux-armhf.so.3)

for deb; do
    arch=$(dpkg-deb -f "$deb" Architecture)
    dpkg-deb -x "$deb" "$work/$arch"
    for program in lumd lumctl vfd; do
        path=$work/$arch/usr/bin/$program
        check "$arch $program: $(file -b "$path" | cut -d, -f1-3)" \
            grep -q "^${kind[$arch]}" <<<"$(file -b "$path")"
        check "$arch $program: machine ${machine[$arch]}" \
            grep -qE "Machine: +${machine[$arch]}\$" <<<"$(readelf -h "$path")"
        check "$arch $program: loader ${loader[$arch]}" \
            grep -qF "interpreter: ${loader[$arch]}]" <<<"$(readelf -l "$path")"
    done
    check "$arch: Depends on libmpdclient2 and libsystemd0" grep -qE \
        'libmpdclient2 .*libsystemd0|libsystemd0.*libmpdclient2' <<<"$(dpkg-deb -f "$deb" Depends)"
done
if [[ -d $work/armhf ]]; then
    check "armhf lumd: the hard-float calling convention" grep -q 'Tag_ABI_VFP_args: VFP registers' \
        <<<"$(readelf -A "$work/armhf/usr/bin/lumd")"
fi
echo "the ARM packages: $failures check(s) failed"
((failures == 0))
