#include "platform/posix/TtyWriter.h"

#include "platform/posix/UnsharedTty.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <ctime>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <utility>

namespace lum::platform::posix {
namespace {

/// Bits a byte takes on the line: start bit, 8 data bits, stop bit.
constexpr std::int64_t kBitsPerByte = 10;
constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000;

/// The errno values of a write to a device that has gone: a tty that has hung up gives EIO, one
/// whose device is no longer there ENXIO or ENODEV.
bool IsGoneError(int error) {
    return error == EIO || error == ENXIO || error == ENODEV;
}

/// How long `bytes` take on the wire at `baudRate`, rounded up.
std::chrono::nanoseconds WireTime(std::size_t bytes, std::uint32_t baudRate) {
    const std::int64_t rate = std::max<std::uint32_t>(baudRate, 1);
    const auto bits = static_cast<std::int64_t>(bytes) * kBitsPerByte;
    return std::chrono::nanoseconds((bits * kNanosecondsPerSecond + rate - 1) / rate);
}

} // namespace

std::unique_ptr<TtyWriter> TtyWriter::Open(const std::string& path, std::uint32_t baudRate,
                                           GoneHandler onGone, EndHandler onEnd, int& error) {
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
    std::unique_ptr<TtyWriter> writer(
        new TtyWriter(fd, wake, baudRate, std::move(onGone), std::move(onEnd)));
    writer->SetModemLine(ModemLine::Dtr, true);
    writer->SetModemLine(ModemLine::Rts, true);
    writer->thread_ = std::thread([raw = writer.get()] { raw->Run(); });
    return writer;
}

TtyWriter::TtyWriter(int fd, int wake, std::uint32_t baudRate, GoneHandler onGone, EndHandler onEnd)
    : fd_(fd), wake_(wake), onGone_(std::move(onGone)), onEnd_(std::move(onEnd)),
      baudRate_(baudRate) {}

TtyWriter::~TtyWriter() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    Wake();
    thread_.join();
    // Closing a tty waits for its output to leave: what has not, goes now.
    static_cast<void>(TtyFlush(fd_, false, true));
    SetModemLine(ModemLine::Dtr, false);
    SetModemLine(ModemLine::Rts, false);
    CloseUnsharedTty(fd_);
    ::close(wake_);
}

int TtyWriter::SetBaudRate(std::uint32_t baudRate) {
    const int error = TtySetLine(fd_, TtyLine{.BaudRate = baudRate});
    if (error == 0) {
        const std::lock_guard lock(mutex_);
        baudRate_ = baudRate;
    }
    return error;
}

void TtyWriter::SetModemLine(ModemLine line, bool on) {
    static_cast<void>(TtySetModemLine(fd_, line, on));
}

void TtyWriter::Send(std::string_view bytes) {
    if (bytes.empty() || gone_) {
        return;
    }
    bool gone = false;
    bool rest = false;
    {
        const std::lock_guard lock(mutex_);
        if (Busy(Clock::now())) {
            return;
        }
        rest_.assign(bytes);
        gone = !WriteRest();
        rest = !rest_.empty();
    }
    if (gone) {
        Gone();
    } else if (rest) {
        Wake();
    }
}

bool TtyWriter::Pending() const {
    const std::lock_guard lock(mutex_);
    return Busy(Clock::now());
}

void TtyWriter::WatchSendEnd() {
    {
        const std::lock_guard lock(mutex_);
        if (std::exchange(watching_, true)) {
            return;
        }
    }
    Wake();
}

std::uint32_t TtyWriter::OutQueue() const {
    std::uint32_t counted = 0;
    static_cast<void>(TtyOutQueue(fd_, counted));
    const std::lock_guard lock(mutex_);
    const auto onWire = std::max(wireFree_ - Clock::now(), Clock::duration::zero());
    const std::int64_t bits =
        std::chrono::duration_cast<std::chrono::nanoseconds>(onWire).count() * baudRate_;
    const auto estimated = static_cast<std::uint32_t>(
        (bits + kBitsPerByte * kNanosecondsPerSecond - 1) / (kBitsPerByte * kNanosecondsPerSecond));
    return static_cast<std::uint32_t>(rest_.size()) + std::max(estimated, counted);
}

bool TtyWriter::Busy(Clock::time_point now) const {
    return !rest_.empty() || now < wireFree_;
}

bool TtyWriter::WriteRest() {
    while (!rest_.empty()) {
        const ssize_t written = ::write(fd_, rest_.data(), rest_.size());
        if (written > 0) {
            const auto taken = static_cast<std::size_t>(written);
            wireFree_ = std::max(wireFree_, Clock::now()) + WireTime(taken, baudRate_);
            rest_.erase(0, taken);
        } else if (written == 0 || errno == EAGAIN) {
            return true; // the tty is full: the writer thread goes on once it takes more
        } else if (errno != EINTR) {
            rest_.clear(); // a write that failed otherwise is dropped, as the line drops it
            if (IsGoneError(errno)) {
                wireFree_ = {}; // nothing more leaves on a device that has gone
                return false;
            }
            return true;
        }
    }
    return true;
}

void TtyWriter::Run() {
    pthread_setname_np(pthread_self(), "tty-writer");
    for (;;) {
        short events = 0;
        timespec wait{};
        const timespec* timeout = nullptr;
        bool ended = false;
        {
            const std::lock_guard lock(mutex_);
            if (stop_) {
                return;
            }
            events = rest_.empty() ? 0 : POLLOUT;
            // The end of a watched send: at once, or one wake-up at the moment it leaves the wire.
            if (watching_ && rest_.empty()) {
                const auto left =
                    std::chrono::duration_cast<std::chrono::nanoseconds>(wireFree_ - Clock::now());
                if (left.count() <= 0) {
                    watching_ = false;
                    ended = true;
                } else {
                    wait.tv_sec = static_cast<time_t>(left.count() / kNanosecondsPerSecond);
                    wait.tv_nsec = static_cast<long>(left.count() % kNanosecondsPerSecond);
                    timeout = &wait;
                }
            }
        }
        if (ended) {
            if (onEnd_) {
                onEnd_();
            }
            continue;
        }
        // A hang-up is reported whatever is asked for.
        pollfd fds[] = {{fd_, events, 0}, {wake_, POLLIN, 0}};
        if (ppoll(fds, 2, timeout, nullptr) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if ((fds[1].revents & POLLIN) != 0) {
            std::uint64_t count = 0;
            [[maybe_unused]] const ssize_t taken = ::read(wake_, &count, sizeof(count));
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
                wireFree_ = {};
            } else if ((fds[0].revents & POLLOUT) != 0) {
                gone = !WriteRest();
            }
        }
        if (gone) {
            Gone();
            return;
        }
    }
}

void TtyWriter::Wake() {
    const std::uint64_t one = 1;
    // Only a counter at its maximum refuses the write, and that wakes the thread as well.
    [[maybe_unused]] const ssize_t written = ::write(wake_, &one, sizeof(one));
}

void TtyWriter::Gone() {
    if (!gone_.exchange(true) && onGone_) {
        onGone_();
    }
}

} // namespace lum::platform::posix
