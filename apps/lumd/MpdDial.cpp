#include "apps/lumd/MpdDial.h"

#include "apps/lumd/TcpEndpoints.h"

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <mpd/async.h>
#include <mpd/client.h>
#include <netdb.h>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace lum::lumd {
namespace {

using Clock = std::chrono::steady_clock;

// MPD's welcome is "OK MPD " and a version; anything longer is no MPD.
constexpr std::size_t kWelcomeLimit = 256;

// The local socket `name` ("/path" or "@abstract") as an address; none when it does not fit.
std::optional<Endpoint> LocalEndpoint(const std::string& name) {
    Endpoint endpoint;
    endpoint.Family = AF_UNIX;
    auto* local = reinterpret_cast<sockaddr_un*>(&endpoint.Address);
    local->sun_family = AF_UNIX;
    if (name.size() >= sizeof local->sun_path) {
        return std::nullopt;
    }
    std::memcpy(local->sun_path, name.data(), name.size());
    std::size_t length = name.size();
    if (name.front() == '@') {
        local->sun_path[0] = '\0'; // an abstract name is as long as it is, without a NUL
    } else {
        ++length;
    }
    endpoint.Length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + length);
    return endpoint;
}

// A socket the inbox holds until it is closed or handed to libmpdclient.
class HeldSocket {
public:
    HeldSocket(WorkerInbox& inbox, int fd) : inbox_(inbox), fd_(fd) {}
    ~HeldSocket() {
        if (fd_ >= 0) {
            inbox_.ReleaseSocket([fd = fd_] { ::close(fd); });
        }
    }
    HeldSocket(const HeldSocket&) = delete;
    HeldSocket& operator=(const HeldSocket&) = delete;

    [[nodiscard]] int Fd() const { return fd_; }
    /// The descriptor, no longer closed here.
    int Take() { return std::exchange(fd_, -1); }

private:
    WorkerInbox& inbox_;
    int fd_;
};

// How a wait on the socket ended.
enum class Waited { Ready, Stopped, TimedOut };

// Waits until `fd` shows `events`, the deadline passes or a stop is requested; commands posted
// meanwhile stay queued for the worker.
Waited WaitOn(WorkerInbox& inbox, int fd, short events, Clock::time_point deadline) {
    for (;;) {
        if (inbox.StopRequested()) {
            return Waited::Stopped;
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return Waited::TimedOut;
        }
        if (inbox.Wait(fd, events, static_cast<int>(left.count())).Events != 0) {
            return Waited::Ready;
        }
    }
}

std::string WaitError(Waited waited, std::chrono::milliseconds timeout, const char* what) {
    return waited == Waited::Stopped
               ? "stopped"
               : std::string("no ") + what + " within " + std::to_string(timeout.count()) + " ms";
}

// Connects `fd` to `endpoint`; empty when it worked, else why not.
std::string ConnectSocket(WorkerInbox& inbox, int fd, const Endpoint& endpoint,
                          Clock::time_point deadline, std::chrono::milliseconds timeout) {
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&endpoint.Address), endpoint.Length) == 0) {
        return {};
    }
    if (errno != EINPROGRESS && errno != EAGAIN) {
        return std::strerror(errno);
    }
    if (const Waited waited = WaitOn(inbox, fd, POLLOUT, deadline); waited != Waited::Ready) {
        return WaitError(waited, timeout, "connection");
    }
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
        error = errno;
    }
    return error == 0 ? std::string() : std::strerror(error);
}

// Reads the welcome line byte by byte, so that nothing after it is taken from libmpdclient.
std::string ReadWelcome(WorkerInbox& inbox, int fd, Clock::time_point deadline,
                        std::chrono::milliseconds timeout, std::string& welcome) {
    for (;;) {
        char byte = 0;
        const ssize_t got = ::recv(fd, &byte, 1, 0);
        if (got == 1) {
            if (byte == '\n') {
                return {};
            }
            if (welcome.size() == kWelcomeLimit) {
                return "no MPD welcome (a first line over " + std::to_string(kWelcomeLimit) +
                       " bytes)";
            }
            welcome.push_back(byte);
        } else if (got == 0) {
            return "closed before its welcome";
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            if (const Waited waited = WaitOn(inbox, fd, POLLIN, deadline);
                waited != Waited::Ready) {
                return WaitError(waited, timeout, "welcome");
            }
        } else if (errno != EINTR) {
            return std::strerror(errno);
        }
    }
}

} // namespace

void MpdConnectionCloser::operator()(mpd_connection* connection) const {
    Inbox->ReleaseSocket([connection] { mpd_connection_free(connection); });
}

MpdDialled DialMpd(const MpdAddress& address, std::chrono::milliseconds timeout,
                   WorkerInbox& inbox) {
    const Clock::time_point deadline = Clock::now() + timeout;
    MpdDialled dialled{MpdConnection(nullptr, MpdConnectionCloser{&inbox})};
    std::vector<Endpoint> endpoints;
    if (address.IsLocalSocket()) {
        if (auto local = LocalEndpoint(address.Host)) {
            endpoints.push_back(*local);
        } else {
            dialled.Error = "the socket's name is too long";
        }
    } else {
        endpoints = TcpEndpoints(address.Host, address.Port, dialled.Error);
    }
    for (const Endpoint& endpoint : endpoints) {
        HeldSocket socket(inbox,
                          ::socket(endpoint.Family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
        if (socket.Fd() < 0) {
            dialled.Error = std::strerror(errno);
            continue;
        }
        if (!inbox.HoldSocket(socket.Fd())) {
            dialled.Error = "stopped";
            return dialled;
        }
        dialled.Error = ConnectSocket(inbox, socket.Fd(), endpoint, deadline, timeout);
        if (!dialled.Error.empty()) {
            continue; // the next address, as long as time is left
        }
        std::string welcome;
        dialled.Error = ReadWelcome(inbox, socket.Fd(), deadline, timeout, welcome);
        if (!dialled.Error.empty()) {
            return dialled;
        }
        mpd_async* async = mpd_async_new(socket.Fd());
        if (async == nullptr) {
            dialled.Error = "out of memory";
            return dialled;
        }
        socket.Take(); // the connection closes it from now on
        dialled.Connection.reset(mpd_connection_new_async(async, welcome.c_str()));
        if (!dialled.Connection) {
            inbox.ReleaseSocket([] {}); // libmpdclient freed the socket with the connection
            dialled.Error = "out of memory";
        } else if (mpd_connection_get_error(dialled.Connection.get()) != MPD_ERROR_SUCCESS) {
            dialled.Error = mpd_connection_get_error_message(dialled.Connection.get());
            dialled.Connection.reset();
        } else {
            mpd_connection_set_timeout(dialled.Connection.get(),
                                       static_cast<unsigned>(timeout.count()));
        }
        return dialled;
    }
    return dialled;
}

} // namespace lum::lumd
