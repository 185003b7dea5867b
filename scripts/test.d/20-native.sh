# lane: cpu
# Native build with address and undefined-behaviour sanitizers, and its unit and integration tests.
set -euo pipefail
source scripts/lib/steps.sh
build native
# Most tests wait on real time (ptys, players, the virtual display), not on the processor: four
# at a time. The Wine lane's demo builds in this folder too; it waits until the tests are done.
holding_build_lock native ctest --preset native -j4
