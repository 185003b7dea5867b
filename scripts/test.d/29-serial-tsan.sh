# lane: cpu
# The serial component's threaded tests (worker, synchronised calls, POSIX comm layer over ptys)
# under the thread sanitizer.
set -euo pipefail
source scripts/lib/steps.sh
build native-tsan serial_tests
TSAN_OPTIONS="halt_on_error=1" build/native-tsan/tests/serial/serial_tests --gtest_brief=1
