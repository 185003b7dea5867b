# lane: builds
# lumd's Debian packages as scripts/package makes them, for the three architectures (the arm64
# and armhf ones cross-built): the amd64 one installed, met as a user meets it and purged on this
# machine; the arm64 one's lumd under qemu-aarch64-static against a real MPD on a pty; the ARM
# packages' programs ELF files of their architecture.
set -euo pipefail
scripts/package --arch amd64 --arch arm64 --arch armhf
version=$(dpkg-parsechangelog -S Version)
status=0
bash tests/debian/install_test.sh "build/package/lumd_${version}_amd64.deb" || status=1
python3 tests/debian/arm64_run_test.py "build/package/lumd_${version}_arm64.deb" || status=1
bash tests/debian/arm_elf_test.sh build/package/lumd_"${version}"_{arm64,armhf}.deb || status=1
exit "$status"
