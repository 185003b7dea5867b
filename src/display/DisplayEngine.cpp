#include "display/DisplayEngine.h"

namespace lum {

DisplayEngineState& DisplayEngine() {
    static DisplayEngineState state;
    return state;
}

void ResetDisplayEngine() {
    DisplayEngine() = DisplayEngineState{};
}

} // namespace lum
