# lane: cpu
# Native build with address and undefined-behaviour sanitizers, and its unit and integration tests.
set -euo pipefail
source scripts/lib/steps.sh
build native
ctest --preset native -j2
