#include "apps/lumd/config/ConfigSchema.h"

#include <algorithm>

namespace lum::lumd {

std::string ConfigKey::FullName() const {
    return std::string(Section) + "." + std::string(Name);
}

const ConfigSection* FindSection(std::string_view name) {
    const auto* section = std::ranges::find(kConfigSections, name, &ConfigSection::Name);
    return section == std::end(kConfigSections) ? nullptr : section;
}

const ConfigKey* FindKey(std::string_view section, std::string_view name) {
    const auto* key = std::ranges::find_if(
        kConfigKeys, [&](const ConfigKey& k) { return k.Section == section && k.Name == name; });
    return key == std::end(kConfigKeys) ? nullptr : key;
}

} // namespace lum::lumd
