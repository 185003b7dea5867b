# The two Windows flavours: the shipped 32-bit DLL and tools, and the 64-bit build run under Wine.
set -euo pipefail
for flavour in win32 win64; do
    cmake --preset "$flavour"
    cmake --build --preset "$flavour"
done
