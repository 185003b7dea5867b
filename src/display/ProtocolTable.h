#pragma once
// The display protocols by the names a configuration gives them. The engine knows none of them:
// a new protocol is a maker (DisplayProtocol.h) and a row here.

#include "display/DisplayProtocol.h"

#include <iterator>
#include <memory>
#include <string>
#include <string_view>

namespace lum {

/// One protocol: its name, the options it takes, its maker and the displays it is for.
struct ProtocolRow {
    std::string_view Name;
    bool TakesCharacterTable;
    bool TakesInternationalSet;
    std::unique_ptr<DisplayProtocol> (*Make)(const ProtocolOptions&);
    std::string_view Displays;
};

// clang-format off
inline constexpr ProtocolRow kDisplayProtocols[] = {
    // Name    Table  Set    Make                 Displays
    {"plain",  false, false, &MakePlainProtocol,  "character displays that wrap at the line's end"},
    {"cr",     false, false, &MakeCrProtocol,     "character displays that wrap, CR after each frame"},
    {"ba63",   false, false, &MakeBa63Protocol,   "BA63 (VT100-style cursor positioning), 2 x 20"},
    {"escpos", true,  true,  &MakeEscPosProtocol, "ESC/POS (Epson-compatible) customer displays"},
    {"cd5220", false, true,  &MakeCd5220Protocol, "CD5220 customer displays"},
};
// clang-format on
static_assert(std::size(kDisplayProtocols) == 5);

/// The protocol named `name` with `options`. Raises std::invalid_argument for an unknown name
/// (naming the known ones) and for an option the protocol does not take.
[[nodiscard]] std::unique_ptr<DisplayProtocol> MakeDisplayProtocol(std::string_view name,
                                                                   const ProtocolOptions& options);

/// The names of the protocols, separated by ", ".
[[nodiscard]] std::string ProtocolNames();

} // namespace lum
