#pragma once
// Where lumd finds MPD, written as MPD's clients take it:
//
//   [PASSWORD@]HOST[:PORT]     a host name or IPv4 address; PORT 1-65535
//   [PASSWORD@][V6]:PORT       an IPv6 address in brackets (without a port the brackets may go)
//   [PASSWORD@]/PATH           a local socket
//   [PASSWORD@]@NAME           an abstract local socket
//
// The password ends at the first '@'. The address given to lumd wins; without one MPD_HOST holds
// it, else "localhost". The port comes from the address, else MPD_PORT, else 6600.

#include <optional>
#include <string>
#include <string_view>

namespace lum::lumd {

/// MPD's default TCP port.
inline constexpr unsigned kMpdDefaultPort = 6600;

/// A parsed MPD address.
struct MpdAddress {
    std::string Host = "localhost";  ///< a host, an address, "/socket/path" or "@abstract"
    unsigned Port = kMpdDefaultPort; ///< unused for a local socket
    std::string Password{};          ///< empty: none

    /// Whether the address is a local socket (MPD then allows the "config" command).
    [[nodiscard]] bool IsLocalSocket() const;
    /// The address for messages, without the password: "host:port" or the socket.
    [[nodiscard]] std::string Text() const;

    friend bool operator==(const MpdAddress&, const MpdAddress&) = default;
};

/// MPD_HOST and MPD_PORT; none when unset or empty.
struct MpdEnvironment {
    std::optional<std::string> Host{};
    std::optional<std::string> Port{};

    /// This process's environment.
    [[nodiscard]] static MpdEnvironment FromProcess();
};

/// The address from `given` (none: not given) and the environment. Raises std::invalid_argument
/// naming the bad part and where it came from, for a bad port or a missing host.
[[nodiscard]] MpdAddress ParseMpdAddress(std::optional<std::string_view> given,
                                         const MpdEnvironment& environment);

} // namespace lum::lumd
