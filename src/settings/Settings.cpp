#include "settings/Settings.h"

namespace lum {

Settings::Settings() {
    Slot(1, 1).Template = "%titel";
    Slot(1, 2).Template = "%status          %winampzeit";
    // Line 1 of every set starts at offset 99, not 0.
    for (auto& set : Sets) {
        set.Lines[0].ScrollOffset = 99;
    }
}

} // namespace lum
