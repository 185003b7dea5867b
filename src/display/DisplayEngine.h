#pragma once
// The display text engine's own state, alive from library load to unload: the tag cache of the
// placeholder expansion, the clock it reads, whether the welcome banner is shown, and the port
// that frames go to. One instance; tests put it back to its start values with
// ResetDisplayEngine.

#include "display/DisplayPort.h"
#include "display/ExtractID3.h"
#include "platform/Clock.h"

#include <functional>
#include <string>

namespace lum {

/// Where the expansion reads the local date and time from.
using LocalClock = std::function<platform::LocalDateTime()>;

/// The engine's state.
struct DisplayEngineState {
    std::string LastTagFileName;                    ///< the file whose tag was last read
    TID3Info CurrentTag;                            ///< the tag values the ID3 variables show
    LocalClock Clock = &platform::CurrentLocalTime; ///< read for the date and time variables
    bool BannerPeriod = false;   ///< frames show the welcome banner instead of lines 1-8
    DisplayPort* Port = nullptr; ///< the display's line; nothing is sent while there is none
};

/// The one instance.
[[nodiscard]] DisplayEngineState& DisplayEngine();

/// Puts the engine back to its start values, as at library load.
void ResetDisplayEngine();

} // namespace lum
