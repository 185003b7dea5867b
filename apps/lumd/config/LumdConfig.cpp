#include "apps/lumd/config/LumdConfig.h"

#include "display/ProtocolTable.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

namespace lum::lumd {
namespace {

/// The plug-in's three frame kinds and the flags that choose them.
struct PluginKind {
    std::string_view Name;
    bool SendCarriageReturn;
    bool Ba63Mode;
};
// clang-format off
constexpr PluginKind kPluginKinds[] = {
    // Name    CR     BA63
    {"plain", false, false},
    {"cr",    true,  false},
    {"ba63",  false, true},
};
// clang-format on
static_assert(std::size(kPluginKinds) == 3);

} // namespace

std::string LumdConfig::Place(const std::string& key) const {
    const auto place = Places.find(key);
    return place == Places.end() ? std::string() : place->second;
}

void LumdConfig::ChooseProtocol(std::string_view name) {
    if (std::ranges::find(kDisplayProtocols, name, &ProtocolRow::Name) ==
        std::end(kDisplayProtocols)) {
        throw std::invalid_argument("must be one of " + ProtocolNames());
    }
    const auto* kind = std::ranges::find(kPluginKinds, name, &PluginKind::Name);
    const bool plugin = kind != std::end(kPluginKinds);
    Display.SendCarriageReturn = plugin && kind->SendCarriageReturn;
    Display.Ba63Mode = plugin && kind->Ba63Mode;
    Own.Protocol = plugin ? std::string() : std::string(name);
}

std::string LumdConfig::ProtocolName() const {
    if (!Own.Protocol.empty()) {
        return Own.Protocol;
    }
    // BA63 mode sends no CR, whatever the CR box says.
    const auto* kind = std::ranges::find_if(kPluginKinds, [this](const PluginKind& k) {
        return k.Ba63Mode == Display.Ba63Mode &&
               (Display.Ba63Mode || k.SendCarriageReturn == Display.SendCarriageReturn);
    });
    return std::string(kind->Name);
}

Settings LumdConfig::StartValuesSwitchedOn() {
    Settings settings;
    settings.DisplayOff = false;
    return settings;
}

} // namespace lum::lumd
