# lane: wine
# The serial component under Wine: the 64-bit build's serialprobe.exe writes frames to a COM port
# mapped to a pty and reads back what the pty's master writes.
set -euo pipefail
python3 tests/serial/wine_com_test.py "${WIN64_BUILD:-build/win64}"
