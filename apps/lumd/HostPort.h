#pragma once
// A TCP server's address as people write it: HOST[:PORT] (a name or an IPv4 address),
// [V6][:PORT] (an IPv6 address in brackets), or a bare IPv6 address without a port. MPD's and
// LCDd's addresses are written so.

#include <optional>
#include <string>
#include <string_view>

namespace lum::lumd {

/// A host and the port given with it, if any.
struct HostPort {
    std::string Host;
    std::optional<unsigned> Port;
};

/// Splits `text` into its host and port. Raises std::invalid_argument naming `quoted` (the
/// address as messages show it) for a missing host, a bad port or a bad bracket.
[[nodiscard]] HostPort SplitHostPort(std::string_view text, const std::string& quoted);

/// The port `text` (1-65535). Raises std::invalid_argument naming `origin`.
[[nodiscard]] unsigned ParsePort(std::string_view text, std::string_view origin);

/// "host:port", the host in brackets when it is an IPv6 address.
[[nodiscard]] std::string HostPortText(const std::string& host, unsigned port);

} // namespace lum::lumd
