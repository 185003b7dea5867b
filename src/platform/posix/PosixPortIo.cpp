// Port: the I/O thread, which moves bytes between the tty and the queues and ends pending
// operations when their bytes have come or gone, their time is up or the device hangs up.
#include "platform/posix/PosixPort.h"
#include "platform/posix/PosixSync.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace lum::platform::posix {

namespace {

/// Bytes taken from the tty per read call.
constexpr std::size_t kReadChunk = 4096;
/// Longest pause between two looks at an output queue that is draining.
constexpr int kMaxDrainLookMilliseconds = 20;
/// Bits on the line per character (start, 8 data, stop), for time estimates.
constexpr std::uint32_t kBitsPerChar = 10;

} // namespace

void Port::IoLoop() {
    for (;;) {
        int timeout = -1;
        short events = 0;
        {
            const std::lock_guard lock(mutex_);
            if (closed_) {
                return;
            }
            timeout = PollTimeout();
            if (!hungUp_) {
                events = POLLIN;
                if (write_ && write_->Done < write_->Count) {
                    events |= POLLOUT;
                }
            }
        }
        std::array<pollfd, 2> fds{pollfd{wakeRead_, POLLIN, 0}, pollfd{fd_, events, 0}};
        const nfds_t count = events == 0 ? 1 : 2;
        static_cast<void>(poll(fds.data(), count, timeout));
        const std::lock_guard lock(mutex_);
        if (closed_) {
            return;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            std::array<char, 64> drain{};
            while (::read(wakeRead_, drain.data(), drain.size()) > 0) {
            }
        }
        if (count == 2) {
            if ((fds[1].revents & POLLIN) != 0) {
                TakeInput();
            }
            if ((fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
                HangUp();
            } else if ((fds[1].revents & POLLOUT) != 0) {
                PushOutput();
            }
        }
        CheckDeadlines();
    }
}

void Port::TakeInput() {
    std::array<std::uint8_t, kReadChunk> chunk{};
    std::uint32_t events = 0;
    for (;;) {
        const ssize_t got = ::read(fd_, chunk.data(), chunk.size());
        if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) {
            HangUp();
            break;
        }
        if (got < 0) {
            break;
        }
        for (std::size_t i = 0; i < static_cast<std::size_t>(got); ++i) {
            const std::uint8_t byte = chunk[i];
            if (byte == 0 && (dcb_.Flags & comm::kDcbNull) != 0) {
                continue;
            }
            events |= comm::kEvRxChar;
            if (byte == static_cast<std::uint8_t>(dcb_.EvtChar)) {
                events |= comm::kEvRxFlag;
            }
            if (input_.size() < inQueueSize_) {
                input_.push_back(byte);
            } else {
                errors_ |= comm::kCeRxOver;
                events |= comm::kEvErr;
            }
        }
    }
    RaiseEvents(events);
    FinishReadIfReady(false);
}

void Port::PushOutput() {
    PendingWrite& write = *write_;
    const ssize_t sent = ::write(fd_, write.Buffer + write.Done, write.Count - write.Done);
    if (sent > 0) {
        write.Done += static_cast<std::uint32_t>(sent);
    } else if (sent < 0 && errno != EAGAIN && errno != EINTR) {
        // A device that has gone away, as Windows reports it for a vanished USB adapter.
        const bool gone = errno == ENXIO || errno == ENODEV;
        Complete(*write.Record, gone ? comm::kErrorDeviceNotConnected : WindowsError(errno),
                 write.Done);
        write_.reset();
    }
}

void Port::CheckDeadlines() {
    const Clock::time_point now = Clock::now();
    if (write_) {
        const bool late = write_->Deadline && now >= *write_->Deadline;
        if (write_->Done == write_->Count) {
            std::uint32_t unsent = 0;
            const bool known = TtyOutQueue(fd_, unsent) == 0;
            if (!known || unsent == 0) {
                Complete(*write_->Record, comm::kErrorSuccess, write_->Count);
                write_.reset();
                RaiseEvents(comm::kEvTxEmpty);
            } else if (late) {
                // Time is up: what has not gone out is dropped, as the driver's time-out does.
                static_cast<void>(TtyFlush(fd_, false, true));
                Complete(*write_->Record, comm::kErrorSuccess,
                         write_->Count - std::min(unsent, write_->Count));
                write_.reset();
            }
        } else if (late) {
            Complete(*write_->Record, comm::kErrorSuccess, write_->Done);
            write_.reset();
        }
    }
    if (read_) {
        FinishReadIfReady(read_->Deadline && now >= *read_->Deadline);
    }
}

void Port::HangUp() {
    hungUp_ = true;
    EndAllPending(comm::kErrorGenFailure);
}

void Port::RaiseEvents(std::uint32_t events) {
    events &= mask_;
    if (events == 0) {
        return;
    }
    if (wait_) {
        *wait_->Mask = events | history_;
        history_ = 0;
        Complete(*wait_->Record, comm::kErrorSuccess, 0);
        wait_.reset();
    } else {
        history_ |= events;
    }
}

void Port::FinishReadIfReady(bool timedOut) {
    if (!read_) {
        return;
    }
    const bool anyWillDo = timeouts_.ReadIntervalTimeout == comm::kMaxDword && !input_.empty();
    if (input_.size() < read_->Count && !anyWillDo && !timedOut) {
        return;
    }
    const std::uint32_t bytes = model::TakeQueued(input_, read_->Buffer, read_->Count);
    Complete(*read_->Record, comm::kErrorSuccess, bytes);
    read_.reset();
}

std::uint32_t Port::CharTimeMicroseconds() const {
    return kBitsPerChar * 1000000 / std::max<std::uint32_t>(dcb_.BaudRate, 1);
}

int Port::PollTimeout() {
    const Clock::time_point now = Clock::now();
    std::optional<Clock::time_point> next;
    const auto consider = [&](const std::optional<Clock::time_point>& deadline) {
        if (deadline && (!next || *deadline < *next)) {
            next = deadline;
        }
    };
    if (write_) {
        consider(write_->Deadline);
        if (write_->Done == write_->Count) {
            const int look = std::clamp<int>(static_cast<int>(CharTimeMicroseconds() * 16 / 1000),
                                             1, kMaxDrainLookMilliseconds);
            consider(now + std::chrono::milliseconds(look));
        }
    }
    if (read_) {
        consider(read_->Deadline);
    }
    if (!next) {
        return -1;
    }
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - now).count();
    return static_cast<int>(std::max<long long>(wait, 0));
}

} // namespace lum::platform::posix
