# lane: builds
# The shipped flavour: the 32-bit DLL and tools.
set -euo pipefail
source scripts/lib/steps.sh
build win32
