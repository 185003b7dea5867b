#pragma once
// What lumd's configuration file holds: the plug-in's settings, which lumd's display driver applies
// as the plug-in does, and lumd's own values (the player to follow, the display's port or LCDd's
// address, a protocol of its own). Both records start from their defaults; the file changes what it
// names.

#include "apps/lumd/DisplayOptions.h"
#include "settings/Settings.h"

#include <map>
#include <string>
#include <string_view>

namespace lum::lumd {

/// lumd's own values: what the plug-in's settings file does not hold. Texts are as written in
/// the file (UTF-8), names of files and devices among them.
struct OwnSettings {
    std::string Player = "mpd";   ///< "mpd", "mpris" or "playlist"
    std::string Address{};        ///< MPD's address, a part of the MPRIS name, the playlist file
    std::string MusicDirectory{}; ///< MPD's music folder on this machine; empty: ask MPD
    std::string Port{};           ///< the display's tty; empty: none given
    std::string Protocol{};       ///< a protocol of lumd's own; empty: the plug-in's kinds
    std::string Lcdproc{};        ///< LCDd's address, the display instead of the port; empty: none
    std::string LcdprocIdle = "background"; ///< the screen's priority on LCDd while not playing

    friend bool operator==(const OwnSettings&, const OwnSettings&) = default;
};

/// A configuration as read: the display's settings, lumd's own values and display rules, and where
/// in the file each key given stands, for messages about values that only the whole run can judge.
struct LumdConfig {
    Settings Display = StartValuesSwitchedOn();
    OwnSettings Own{};
    DisplayOptions Rules{};
    std::map<std::string, std::string> Places{}; ///< "display.port" -> "FILE:LINE:COLUMN"

    /// Where `key` stands ("FILE:LINE:COLUMN"); empty when the file does not give it.
    [[nodiscard]] std::string Place(const std::string& key) const;

    /// Chooses the display protocol `name` (ProtocolTable.h): the plug-in's three kinds as its
    /// two flags, another as lumd's own. Raises std::invalid_argument naming the known ones.
    void ChooseProtocol(std::string_view name);
    /// The name of the protocol chosen.
    [[nodiscard]] std::string ProtocolName() const;

    /// The plug-in's start values with the display switched on: lumd has no window to switch it.
    [[nodiscard]] static Settings StartValuesSwitchedOn();
};

} // namespace lum::lumd
