#include "apps/lumd/config/LumdConfig.h"

namespace lum::lumd {

std::string LumdConfig::Place(const std::string& key) const {
    const auto place = Places.find(key);
    return place == Places.end() ? std::string() : place->second;
}

Settings LumdConfig::StartValuesSwitchedOn() {
    Settings settings;
    settings.DisplayOff = false;
    return settings;
}

} // namespace lum::lumd
