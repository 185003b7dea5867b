#include "apps/lumd/MprisMessages.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>
#include <systemd/sd-bus.h>

namespace lum::lumd {
namespace {

// The number held by a variant's value of any integer or floating type; other types are skipped.
std::optional<double> ReadNumber(sd_bus_message* message, const char* type) {
    const std::string_view contents = type;
    if (contents.size() != 1 || std::strchr("ybnqiuxtd", contents[0]) == nullptr) {
        sd_bus_message_skip(message, type);
        return std::nullopt;
    }
    union {
        std::uint8_t Byte;
        std::int16_t Int16;
        std::uint16_t UInt16;
        std::int32_t Int32;
        std::uint32_t UInt32;
        std::int64_t Int64;
        std::uint64_t UInt64;
        double Double;
    } value{};
    if (sd_bus_message_read_basic(message, contents[0], &value) < 0) {
        return std::nullopt;
    }
    switch (contents[0]) {
    case 'y':
        return value.Byte;
    case 'b':
    case 'i':
        return value.Int32;
    case 'n':
        return value.Int16;
    case 'q':
        return value.UInt16;
    case 'u':
        return value.UInt32;
    case 'x':
        return static_cast<double>(value.Int64);
    case 't':
        return static_cast<double>(value.UInt64);
    default:
        return value.Double;
    }
}

// A count of microseconds from the player (a length, a position): the number when it is finite
// and lies from 0 up to what 64 bits hold; none for a negative, infinite or not-a-number value.
std::optional<std::int64_t> Microseconds(std::optional<double> number) {
    if (!number || !std::isfinite(*number) || *number < 0 || *number >= 0x1p63) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(*number);
}

// A track number from the player: 0-255, 0 for a value that is no number.
std::uint8_t TrackNumber(std::optional<double> number) {
    return number && std::isfinite(*number)
               ? static_cast<std::uint8_t>(std::clamp(*number, 0.0, 255.0))
               : 0;
}

std::string Joined(const std::vector<std::string>& values) {
    std::string joined;
    for (const std::string& value : values) {
        if (!joined.empty()) {
            joined += ", ";
        }
        joined += value;
    }
    return joined;
}

std::string First(const std::vector<std::string>& values) {
    return values.empty() ? std::string() : values.front();
}

// Reads the metadata dictionary (a{sv}) at the message's position into the track's facts.
int ReadMetadata(sd_bus_message* message, MprisFacts& facts) {
    TrackTags& tags = facts.Tags;
    tags = {};
    facts.Url.clear();
    facts.TrackId.clear();
    facts.LengthUs = 0;
    int result = sd_bus_message_enter_container(message, 'a', "{sv}");
    if (result < 0) {
        return result;
    }
    while ((result = sd_bus_message_enter_container(message, 'e', "sv")) > 0) {
        const char* key = nullptr;
        const char* type = nullptr;
        if ((result = sd_bus_message_read_basic(message, 's', &key)) < 0 ||
            (result = sd_bus_message_peek_type(message, nullptr, &type)) < 0 ||
            (result = sd_bus_message_enter_container(message, 'v', type)) < 0) {
            return result;
        }
        const std::string_view name = key;
        if (name == "mpris:length") {
            facts.LengthUs = Microseconds(ReadNumber(message, type)).value_or(0); // else unknown
        } else if (name == "xesam:trackNumber") {
            tags.Track = TrackNumber(ReadNumber(message, type));
        } else if (const auto strings = ReadStrings(message, type)) {
            if (name == "xesam:artist") {
                tags.Artist = Joined(*strings);
            } else if (name == "xesam:title") {
                tags.Title = First(*strings);
            } else if (name == "xesam:album") {
                tags.Album = First(*strings);
            } else if (name == "xesam:contentCreated") {
                tags.Date = First(*strings);
            } else if (name == "xesam:comment") {
                tags.Comment = First(*strings);
            } else if (name == "xesam:genre") {
                tags.Genre = First(*strings);
            } else if (name == "xesam:url") {
                facts.Url = First(*strings);
            } else if (name == "mpris:trackid") {
                facts.TrackId = First(*strings);
            }
        }
        sd_bus_message_exit_container(message); // the variant
        sd_bus_message_exit_container(message); // the entry
    }
    if (result < 0) {
        return result;
    }
    return sd_bus_message_exit_container(message);
}

} // namespace

std::optional<std::vector<std::string>> ReadStrings(sd_bus_message* message, const char* type) {
    const std::string_view contents = type;
    if (contents == "s" || contents == "o") {
        const char* value = nullptr;
        if (sd_bus_message_read_basic(message, contents[0], &value) < 0) {
            return std::nullopt;
        }
        return std::vector<std::string>{value};
    }
    if (contents == "as" || contents == "ao") {
        if (sd_bus_message_enter_container(message, 'a', type + 1) < 0) {
            return std::nullopt;
        }
        std::vector<std::string> values;
        const char* value = nullptr;
        while (sd_bus_message_read_basic(message, contents[1], &value) > 0) {
            values.emplace_back(value);
        }
        sd_bus_message_exit_container(message);
        return values;
    }
    sd_bus_message_skip(message, type);
    return std::nullopt;
}

int ReadProperties(sd_bus_message* message, MprisFacts& facts,
                   std::chrono::steady_clock::time_point now, PropertiesRead& read) {
    int result = sd_bus_message_enter_container(message, 'a', "{sv}");
    if (result < 0) {
        return result;
    }
    while ((result = sd_bus_message_enter_container(message, 'e', "sv")) > 0) {
        const char* key = nullptr;
        const char* type = nullptr;
        if ((result = sd_bus_message_read_basic(message, 's', &key)) < 0 ||
            (result = sd_bus_message_peek_type(message, nullptr, &type)) < 0) {
            return result;
        }
        const std::string_view name = key;
        if (name == "Metadata" && std::string_view(type) == "a{sv}") {
            if ((result = sd_bus_message_enter_container(message, 'v', type)) < 0 ||
                (result = ReadMetadata(message, facts)) < 0) {
                return result;
            }
            sd_bus_message_exit_container(message);
            read.PositionStale = true;
            read.TrackChanged = true;
        } else if ((result = sd_bus_message_enter_container(message, 'v', type)) < 0) {
            return result;
        } else if (name == "PlaybackStatus") {
            facts.Status = First(ReadStrings(message, type).value_or(std::vector<std::string>{}));
            read.PositionStale = true;
            sd_bus_message_exit_container(message);
        } else if (name == "Rate") {
            // A rate that is no finite number from 0 up would run the position anywhere.
            if (const auto rate = ReadNumber(message, type);
                rate && std::isfinite(*rate) && *rate >= 0) {
                facts.Rate = *rate;
            }
            read.PositionStale = true;
            sd_bus_message_exit_container(message);
        } else if (name == "Position") {
            facts.PositionUs = Microseconds(ReadNumber(message, type)).value_or(0);
            facts.PositionAt = now;
            sd_bus_message_exit_container(message);
        } else {
            sd_bus_message_skip(message, type);
            sd_bus_message_exit_container(message);
        }
        sd_bus_message_exit_container(message); // the entry
        read.Changed = true;
    }
    if (result < 0) {
        return result;
    }
    return sd_bus_message_exit_container(message);
}

} // namespace lum::lumd
