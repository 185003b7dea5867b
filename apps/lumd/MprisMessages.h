#pragma once
// Reading MPRIS's D-Bus messages with sd-bus: the player's properties dictionary (a{sv}, from
// GetAll or PropertiesChanged) into its facts, and the strings of a value. Numbers are taken only
// in their range: a length that is negative or no number is unknown, such a position is 0, a rate
// that is negative or not finite is ignored, a track number is 0-255. A value of another type
// than its key wants is skipped.

#include "apps/lumd/MprisFacts.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

struct sd_bus_message;

namespace lum::lumd {

/// What a properties dictionary changed.
struct PropertiesRead {
    bool Changed = false;       ///< a property came
    bool PositionStale = false; ///< the state, the track or the rate came: Position is worth asking
    bool TrackChanged = false;  ///< Metadata came: the place in the track list is worth asking
};

/// Reads the dictionary at the message's position into `facts` (a Position at `now`); a
/// negative errno value when the message is malformed.
[[nodiscard]] int ReadProperties(sd_bus_message* message, MprisFacts& facts,
                                 std::chrono::steady_clock::time_point now, PropertiesRead& read);

/// The strings of a value of type `type` that holds a string, an object path or an array of
/// either; the value is skipped and none returned for any other type.
[[nodiscard]] std::optional<std::vector<std::string>> ReadStrings(sd_bus_message* message,
                                                                  const char* type);

} // namespace lum::lumd
