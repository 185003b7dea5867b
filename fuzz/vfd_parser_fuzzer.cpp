// Fuzzes the virtual display's byte parser with any stream on any geometry: it must never
// crash, the cursor must stay inside the display (or just past the last column), and every line
// must keep its width.

#include "tools/vfd/CharacterDisplay.h"

#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    lum::vfd::CharacterDisplay display(input.ConsumeIntegralInRange(0, 90),
                                       input.ConsumeIntegralInRange(0, 9));
    while (input.remaining_bytes() > 0) {
        display.Feed(input.ConsumeIntegral<std::uint8_t>());
        const bool inside = display.CursorLine() >= 0 && display.CursorLine() < display.Lines() &&
                            display.CursorColumn() >= 0 &&
                            display.CursorColumn() <= display.Columns() &&
                            display.Brightness() >= 0 && display.Brightness() < 4 &&
                            display.Text().size() == static_cast<std::size_t>(display.Lines());
        if (!inside) {
            std::abort();
        }
        for (const std::string& line : display.Text()) {
            if (line.size() != static_cast<std::size_t>(display.Columns())) {
                std::abort();
            }
        }
    }
    return 0;
}
