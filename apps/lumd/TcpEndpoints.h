#pragma once
// The addresses a TCP host resolves to, as socket() and connect() take them.

#include <string>
#include <sys/socket.h>
#include <vector>

namespace lum::lumd {

/// One address to try.
struct Endpoint {
    int Family = AF_UNSPEC;
    sockaddr_storage Address{};
    socklen_t Length = 0;
};

/// The addresses of `host` at `port` in the resolver's order (it may block: a worker's call);
/// none, with the resolver's reason in `error`, when there are none.
[[nodiscard]] std::vector<Endpoint> TcpEndpoints(const std::string& host, unsigned port,
                                                 std::string& error);

} // namespace lum::lumd
