#include "settings/Settings.h"

namespace lum {

Settings::Settings() {
    Slot(1, 1).Template = "%titel";
    Slot(1, 2).Template = "%status          %winampzeit";
}

std::uint32_t SelectedBaudRate(const Settings& settings) {
    const std::int32_t index = settings.BaudRateIndex;
    return static_cast<std::uint32_t>(
        index >= 0 && index < static_cast<std::int32_t>(std::size(kBaudRates)) ? kBaudRates[index]
                                                                               : kDefaultBaudRate);
}

} // namespace lum
