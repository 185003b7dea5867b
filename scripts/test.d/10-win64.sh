# lane: first
# The 64-bit Windows build, which the Wine lane runs, and the native tools its tests use (lumctl
# writes settings files, vfd is the demo's display): built before the two lanes start.
set -euo pipefail
source scripts/lib/steps.sh
build win64
build native lumctl vfd
