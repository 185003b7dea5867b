# End-to-end tests of the 64-bit build under Wine on a virtual X server.
set -euo pipefail
for test in tests/wine/*_test.sh; do
    bash "$test"
done
for test in tests/wine/*_test.py; do
    python3 "$test"
done
