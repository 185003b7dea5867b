# Native build with address and undefined-behaviour sanitizers, and its unit and integration tests.
set -euo pipefail
cmake --preset native
cmake --build --preset native
ctest --preset native -j2
