# lane: builds
# lumd's Debian packages as scripts/package makes them, for the three architectures (the arm64
# and armhf ones cross-built): the amd64 one installed, met as a user meets it and purged on this
# machine; the arm64 one's lumd under qemu-aarch64-static against a real MPD on a pty; the ARM
# packages' programs ELF files of their architecture.
#
# A package mirror that cannot give armhf's package index (a download that fails, as a mirror in
# the middle of a sync gives) leaves armhf's build dependencies uninstallable on this machine:
# then the armhf package is said not to be built here, and the step goes on with the others.
set -euo pipefail
scripts/package --arch amd64 --arch arm64
version=$(dpkg-parsechangelog -S Version)
debs=("build/package/lumd_${version}_arm64.deb")
deps_log=build/logs/package-deb-deps-armhf.log
if packaging/debian/build-deps armhf >"$deps_log" 2>&1; then
    scripts/package --arch armhf
    debs+=("build/package/lumd_${version}_armhf.deb")
elif grep -q 'Failed to fetch .*binary-armhf' "$deps_log"; then
    echo "armhf: NOT BUILT here: this machine's package mirror cannot give armhf's index:"
    grep 'Failed to fetch .*binary-armhf' "$deps_log"
else
    cat "$deps_log"
    exit 1
fi
status=0
bash tests/debian/install_test.sh "build/package/lumd_${version}_amd64.deb" || status=1
python3 tests/debian/arm64_run_test.py "build/package/lumd_${version}_arm64.deb" || status=1
bash tests/debian/arm_elf_test.sh "${debs[@]}" || status=1
exit "$status"
