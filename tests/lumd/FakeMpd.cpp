#include "FakeMpd.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>

namespace lum::lumd::testing {
namespace {

constexpr int kStopped = -1;
constexpr int kIdleCheckMs = 20; // how often an idling connection looks for a new song

// Waits until `fd` shows `events` (its revents), `timeoutMs` passes (0) or the stop pipe is
// written (kStopped).
int WaitOn(int fd, short events, int stop, int timeoutMs) {
    pollfd watched[2] = {{fd, events, 0}, {stop, POLLIN, 0}};
    if (::poll(watched, 2, timeoutMs) <= 0) {
        return 0;
    }
    return watched[1].revents != 0 ? kStopped : watched[0].revents;
}

// Sends all of `bytes`; false when the client has gone or the fake stops.
bool SendAll(int fd, std::string_view bytes, int stop) {
    while (!bytes.empty()) {
        const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(sent));
        } else if (errno != EAGAIN && errno != EINTR) {
            return false;
        } else if (WaitOn(fd, POLLOUT, stop, -1) == kStopped) {
            return false;
        }
    }
    return true;
}

// Sends `reply` and does what it says after; false when the connection is over.
bool Deliver(int fd, const FakeReply& reply, int stop) {
    if (!SendAll(fd, reply.Bytes, stop)) {
        return false;
    }
    switch (reply.Then) {
    case FakeThen::Listen:
        return true;
    case FakeThen::Close:
        return false;
    case FakeThen::Hang:
        for (char byte = 0; WaitOn(fd, POLLIN, stop, -1) != kStopped;) {
            if (::recv(fd, &byte, 1, MSG_DONTWAIT) == 0) {
                break;
            }
        }
        return false;
    case FakeThen::Flood:
        while (SendAll(fd, "changed: player\n", stop)) {
        }
        return false;
    }
    return false;
}

} // namespace

FakeMpd::FakeMpd(std::string socket, std::string musicFolder, FakeSong song, FakeScript script)
    : socket_(std::move(socket)), music_(std::move(musicFolder)), script_(std::move(script)),
      song_(std::move(song)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socket_.size() >= sizeof address.sun_path || ::pipe2(stop_, O_CLOEXEC) != 0) {
        throw std::runtime_error("no fake MPD at " + socket_);
    }
    std::memcpy(address.sun_path, socket_.c_str(), socket_.size() + 1);
    listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ < 0 ||
        ::bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 16) != 0) {
        throw std::runtime_error("no fake MPD at " + socket_ + ": " + std::strerror(errno));
    }
    thread_ = std::thread(&FakeMpd::Accept, this);
}

FakeMpd::~FakeMpd() {
    const char byte = 0;
    [[maybe_unused]] const auto written = ::write(stop_[1], &byte, 1);
    thread_.join();
    ::close(listener_);
    ::close(stop_[0]);
    ::close(stop_[1]);
    ::unlink(socket_.c_str());
}

void FakeMpd::Play(FakeSong song) {
    const std::lock_guard lock(mutex_);
    song_ = std::move(song);
    ++songId_;
}

std::vector<std::chrono::steady_clock::time_point> FakeMpd::Connects() const {
    const std::lock_guard lock(mutex_);
    return connects_;
}

void FakeMpd::Accept() {
    while (WaitOn(listener_, POLLIN, stop_[0], -1) != kStopped) {
        const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        int number = 0;
        {
            const std::lock_guard lock(mutex_);
            connects_.push_back(std::chrono::steady_clock::now());
            number = static_cast<int>(connects_.size());
        }
        Serve(fd, number);
        ::close(fd);
    }
}

void FakeMpd::Serve(int fd, int number) {
    const auto scripted = [&](const std::string& command) {
        return script_ ? script_(command, number) : std::nullopt;
    };
    if (!Deliver(fd, scripted("").value_or(FakeReply{"OK MPD 0.23.0\n"}), stop_[0])) {
        return;
    }
    std::string input;
    std::optional<int> idleSince; // the song id the idle began with
    for (;;) {
        const int ready = WaitOn(fd, POLLIN, stop_[0], idleSince ? kIdleCheckMs : -1);
        if (ready == kStopped) {
            return;
        }
        if (idleSince) {
            const std::lock_guard lock(mutex_);
            if (songId_ != *idleSince) {
                idleSince.reset();
                if (!SendAll(fd, "changed: player\nOK\n", stop_[0])) {
                    return;
                }
            }
        }
        char buffer[4096];
        const ssize_t got = ready != 0 ? ::recv(fd, buffer, sizeof buffer, 0) : -1;
        if (got == 0 || (got < 0 && ready != 0 && errno != EAGAIN && errno != EINTR)) {
            return;
        }
        input.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
        for (auto end = input.find('\n'); end != std::string::npos; end = input.find('\n')) {
            const std::string command = input.substr(0, end);
            input.erase(0, end + 1);
            if (const auto reply = scripted(command)) {
                if (!Deliver(fd, *reply, stop_[0])) {
                    return;
                }
            } else if (command.starts_with("idle")) {
                const std::lock_guard lock(mutex_);
                idleSince = songId_;
            } else if (command == "noidle") {
                // MPD ignores a "noidle" that comes after the idle's answer.
                if (std::exchange(idleSince, std::nullopt) && !SendAll(fd, "OK\n", stop_[0])) {
                    return;
                }
            } else if (!SendAll(fd, Answer(command), stop_[0])) {
                return;
            }
        }
    }
}

std::string FakeMpd::Answer(const std::string& command) {
    const std::lock_guard lock(mutex_);
    const std::string id = std::to_string(songId_);
    if (command == "status") {
        return "state: play\nsong: 0\nsongid: " + id +
               "\nplaylistlength: 1\ntime: 5:30\nelapsed: 5.000\nduration: 30.000\nOK\n";
    }
    if (command == "currentsong") {
        return "file: " + song_.Uri + "\nTitle: Fake Title\nAlbum: " + song_.Album +
               (song_.Track.empty() ? "" : "\nTrack: " + song_.Track) + "\nPos: 0\nId: " + id +
               "\nOK\n";
    }
    if (command == "config") {
        return "music_directory: " + music_ + "\nOK\n";
    }
    return "OK\n";
}

} // namespace lum::lumd::testing
