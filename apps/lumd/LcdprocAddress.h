#pragma once
// Where lumd finds LCDproc's server LCDd: HOST[:PORT] or [V6][:PORT] (HostPort.h), by default
// localhost:13666, the port LCDd listens on unless its LCDd.conf says otherwise.

#include <string>
#include <string_view>

namespace lum::lumd {

/// LCDd's default TCP port.
inline constexpr unsigned kLcdprocDefaultPort = 13666;

/// A parsed LCDd address.
struct LcdprocAddress {
    std::string Host = "localhost";
    unsigned Port = kLcdprocDefaultPort;

    /// "host:port" for messages.
    [[nodiscard]] std::string Text() const;

    friend bool operator==(const LcdprocAddress&, const LcdprocAddress&) = default;
};

/// The address `text` (empty: the default). Raises std::invalid_argument naming the bad part.
[[nodiscard]] LcdprocAddress ParseLcdprocAddress(std::string_view text);

} // namespace lum::lumd
