#include "apps/lumd/WorkerInbox.h"

#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <system_error>
#include <unistd.h>

namespace lum::lumd {

std::string_view TransportCommandName(TransportCommand command) {
    switch (command) {
    case TransportCommand::Previous:
        return "prev";
    case TransportCommand::Play:
        return "play";
    case TransportCommand::Pause:
        return "pause";
    case TransportCommand::Stop:
        return "stop";
    case TransportCommand::Next:
        return "next";
    }
    return "?";
}

WorkerInbox::WorkerInbox() : eventFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (eventFd_ < 0) {
        throw std::system_error(errno, std::generic_category(), "eventfd");
    }
}

WorkerInbox::~WorkerInbox() {
    ::close(eventFd_);
}

void WorkerInbox::Wake() {
    const std::uint64_t one = 1;
    // A full counter (never reached) still leaves the descriptor readable, so a failed write
    // loses no wake-up.
    [[maybe_unused]] const auto written = ::write(eventFd_, &one, sizeof one);
}

void WorkerInbox::Post(TransportCommand command) {
    {
        const std::lock_guard lock(mutex_);
        commands_.push_back(command);
    }
    Wake();
}

void WorkerInbox::RequestStop() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
        if (socket_ >= 0) {
            ::shutdown(socket_, SHUT_RDWR);
        }
    }
    Wake();
}

bool WorkerInbox::HoldSocket(int fd) {
    const std::lock_guard lock(mutex_);
    if (stop_) {
        return false;
    }
    socket_ = fd;
    return true;
}

void WorkerInbox::ReleaseSocket(const std::function<void()>& close) {
    const std::lock_guard lock(mutex_);
    socket_ = -1;
    close();
}

bool WorkerInbox::StopRequested() const {
    const std::lock_guard lock(mutex_);
    return stop_;
}

std::vector<TransportCommand> WorkerInbox::TakeCommands() {
    const std::lock_guard lock(mutex_);
    std::vector<TransportCommand> taken;
    taken.swap(commands_);
    return taken;
}

WorkerInbox::Readiness WorkerInbox::Wait(int fd, short events, int timeoutMs) {
    pollfd watched[2] = {{eventFd_, POLLIN, 0}, {fd, events, 0}};
    const nfds_t count = fd >= 0 ? 2 : 1;
    Readiness ready;
    if (::poll(watched, count, timeoutMs) <= 0) {
        return ready;
    }
    if ((watched[0].revents & POLLIN) != 0) {
        std::uint64_t value = 0;
        [[maybe_unused]] const auto read = ::read(eventFd_, &value, sizeof value);
        ready.Inbox = true;
    }
    ready.Events = count == 2 ? watched[1].revents : short{0};
    return ready;
}

} // namespace lum::lumd
