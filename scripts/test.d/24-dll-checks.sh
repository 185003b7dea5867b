# lane: builds
# Static checks of the shipped 32-bit DLL (PE32 i386, one undecorated export, system imports).
set -euo pipefail
tests/static/check-dll.sh build/win32/bin/plugins/gen_lum.dll
