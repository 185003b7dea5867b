#include "platform/posix/TtyWriter.h"

#include "platform/posix/UnsharedTty.h"

#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace lum::platform::posix {
namespace {

/// The errno values of a write to a device that has gone: a tty that has hung up gives EIO, one
/// whose device is no longer there ENXIO or ENODEV.
bool IsGoneError(int error) {
    return error == EIO || error == ENXIO || error == ENODEV;
}

} // namespace

std::unique_ptr<TtyWriter> TtyWriter::Open(const std::string& path, std::uint32_t baudRate,
                                           GoneHandler onGone, int& error) {
    int fd = -1;
    if (error = OpenUnsharedTty(path, fd); error != 0) {
        return nullptr;
    }
    int wake = -1;
    if (error = TtySetLine(fd, TtyLine{.BaudRate = baudRate}); error == 0) {
        wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        error = wake < 0 ? errno : 0;
    }
    if (error != 0) {
        CloseUnsharedTty(fd);
        return nullptr;
    }
    std::unique_ptr<TtyWriter> writer(new TtyWriter(fd, wake, std::move(onGone)));
    writer->SetModemLine(ModemLine::Dtr, true);
    writer->SetModemLine(ModemLine::Rts, true);
    writer->thread_ = std::thread([raw = writer.get()] { raw->Run(); });
    return writer;
}

TtyWriter::TtyWriter(int fd, int wake, GoneHandler onGone)
    : fd_(fd), wake_(wake), onGone_(std::move(onGone)) {}

TtyWriter::~TtyWriter() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    const std::uint64_t one = 1;
    static_cast<void>(::write(wake_, &one, sizeof(one)));
    thread_.join();
    // Closing a tty waits for its output to leave: what has not, goes now.
    static_cast<void>(TtyFlush(fd_, false, true));
    SetModemLine(ModemLine::Dtr, false);
    SetModemLine(ModemLine::Rts, false);
    CloseUnsharedTty(fd_);
    ::close(wake_);
}

int TtyWriter::SetBaudRate(std::uint32_t baudRate) {
    return TtySetLine(fd_, TtyLine{.BaudRate = baudRate});
}

void TtyWriter::SetModemLine(ModemLine line, bool on) {
    static_cast<void>(TtySetModemLine(fd_, line, on));
}

void TtyWriter::Send(std::string_view bytes) {
    if (bytes.empty() || pending_ || gone_) {
        return;
    }
    bool gone = false;
    bool rest = false;
    {
        const std::lock_guard lock(mutex_);
        rest_.assign(bytes);
        gone = !WriteRest();
        rest = !rest_.empty();
        pending_ = rest;
    }
    if (gone) {
        Gone();
    } else if (rest) {
        const std::uint64_t one = 1;
        static_cast<void>(::write(wake_, &one, sizeof(one)));
    }
}

std::uint32_t TtyWriter::OutQueue() {
    std::uint32_t queued = 0;
    static_cast<void>(TtyOutQueue(fd_, queued));
    const std::lock_guard lock(mutex_);
    return queued + static_cast<std::uint32_t>(rest_.size());
}

bool TtyWriter::WriteRest() {
    while (!rest_.empty()) {
        const ssize_t written = ::write(fd_, rest_.data(), rest_.size());
        if (written > 0) {
            rest_.erase(0, static_cast<std::size_t>(written));
        } else if (written == 0 || errno == EAGAIN) {
            return true; // the tty is full: the writer thread goes on once it takes more
        } else if (errno != EINTR) {
            const bool gone = IsGoneError(errno);
            rest_.clear(); // a write that failed otherwise is dropped, as the line drops it
            return !gone;
        }
    }
    return true;
}

void TtyWriter::Run() {
    pthread_setname_np(pthread_self(), "tty-writer");
    for (;;) {
        short events = 0;
        {
            const std::lock_guard lock(mutex_);
            if (stop_) {
                return;
            }
            events = rest_.empty() ? 0 : POLLOUT;
        }
        // A hang-up is reported whatever is asked for.
        pollfd fds[] = {{fd_, events, 0}, {wake_, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if ((fds[1].revents & POLLIN) != 0) {
            std::uint64_t count = 0;
            static_cast<void>(::read(wake_, &count, sizeof(count)));
        }
        bool gone = false;
        {
            const std::lock_guard lock(mutex_);
            if (stop_) {
                return;
            }
            if ((fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
                gone = true;
                rest_.clear();
            } else if ((fds[0].revents & POLLOUT) != 0) {
                gone = !WriteRest();
            }
            pending_ = !rest_.empty();
        }
        if (gone) {
            Gone();
            return;
        }
    }
}

void TtyWriter::Gone() {
    if (!gone_.exchange(true) && onGone_) {
        onGone_();
    }
}

} // namespace lum::platform::posix
