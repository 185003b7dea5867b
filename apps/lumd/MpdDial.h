#pragma once
// Connecting to MPD so that a stop request ends every wait. lumd makes the socket itself (a TCP
// address from the resolver, a local socket path, an abstract "@name"), connects without blocking
// and reads the welcome line ("OK MPD 0.23.0") itself, each wait a poll() on the socket and the
// worker's inbox; libmpdclient then takes the greeted socket over. The inbox holds the socket from
// its creation to the connection's end, so a stop request also ends any blocking call that
// libmpdclient makes on it.

#include "apps/lumd/MpdAddress.h"
#include "apps/lumd/WorkerInbox.h"

#include <chrono>
#include <memory>
#include <string>

struct mpd_connection;

namespace lum::lumd {

/// Frees a connection whose socket `Inbox` holds, letting go of the socket first.
struct MpdConnectionCloser {
    WorkerInbox* Inbox = nullptr;
    void operator()(mpd_connection* connection) const;
};

/// A connection made by DialMpd.
using MpdConnection = std::unique_ptr<mpd_connection, MpdConnectionCloser>;

/// What dialling gave: a greeted connection, or why there is none.
struct MpdDialled {
    MpdConnection Connection;
    std::string Error{}; ///< "connection refused", "no welcome within 5000 ms", ...
};

/// Connects to `address` and reads MPD's welcome, within `timeout` for both; a stop request on
/// `inbox` ends the waits at once ("stopped"). The connection's answers then have `timeout` each.
[[nodiscard]] MpdDialled DialMpd(const MpdAddress& address, std::chrono::milliseconds timeout,
                                 WorkerInbox& inbox);

} // namespace lum::lumd
