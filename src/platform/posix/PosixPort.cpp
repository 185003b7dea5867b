#include "platform/posix/PosixPort.h"

#include "platform/posix/PosixSync.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <unistd.h>

namespace lum::platform::posix {

namespace {

/// Bytes taken from the tty per read call.
constexpr std::size_t kReadChunk = 4096;
/// Longest pause between two looks at an output queue that is draining.
constexpr int kMaxDrainLookMilliseconds = 20;
/// Bits on the line per character (start, 8 data, stop), for time estimates.
constexpr std::uint32_t kBitsPerChar = 10;

/// Time-outs after which reads return at once with what is queued.
bool ReadsReturnAtOnce(const CommTimeouts& timeouts) {
    return timeouts.ReadIntervalTimeout == comm::kMaxDword &&
           timeouts.ReadTotalTimeoutMultiplier == 0 && timeouts.ReadTotalTimeoutConstant == 0;
}

} // namespace

std::shared_ptr<Port> Port::Open(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        FailWithErrno(errno);
        return nullptr;
    }
    std::array<int, 2> wake{};
    int error = 0;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = errno;
    } else if (const int raw = TtyMakeRaw(fd); raw != 0) {
        error = raw;
    } else if (pipe2(wake.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::close(fd);
        FailWithErrno(error);
        return nullptr;
    }
    std::shared_ptr<Port> port(new Port(fd, wake[0], wake[1]));
    port->io_ = std::thread([raw = port.get()] { raw->IoLoop(); });
    return port;
}

Port::Port(int fd, int wakeRead, int wakeWrite)
    : fd_(fd), wakeRead_(wakeRead), wakeWrite_(wakeWrite) {
    TtyLine line;
    static_cast<void>(TtyGetLine(fd_, line));
    dcb_.DCBlength = 28;
    dcb_.BaudRate = line.BaudRate;
    dcb_.Flags = comm::kDcbBinary;
    dcb_.XonLim = 2048;
    dcb_.XoffLim = 512;
    dcb_.ByteSize = line.ByteSize;
    dcb_.Parity = line.Parity;
    dcb_.StopBits = line.StopBits;
    dcb_.XonChar = line.XonChar;
    dcb_.XoffChar = line.XoffChar;
    static_cast<void>(TtyLineErrors(fd_, counts_));
}

Port::~Port() {
    Close();
}

void Port::Close() {
    {
        const std::lock_guard lock(mutex_);
        if (closed_) {
            return;
        }
        closed_ = true;
    }
    Wake();
    if (io_.joinable()) {
        io_.join();
    }
    const std::lock_guard lock(mutex_);
    if (write_) {
        Complete(*write_->Record, comm::kErrorOperationAborted, write_->Done);
        write_.reset();
    }
    if (read_) {
        Complete(*read_->Record, comm::kErrorOperationAborted, 0);
        read_.reset();
    }
    if (wait_) {
        *wait_->Mask = 0;
        Complete(*wait_->Record, comm::kErrorOperationAborted, 0);
        wait_.reset();
    }
    ::close(fd_);
    ::close(wakeRead_);
    ::close(wakeWrite_);
}

void Port::Wake() {
    const char byte = 0;
    static_cast<void>(::write(wakeWrite_, &byte, 1));
}

bool Port::Usable() {
    if (closed_) {
        return Fail(comm::kErrorInvalidHandle);
    }
    if (hungUp_) {
        return Fail(comm::kErrorGenFailure);
    }
    return true;
}

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
    if (write_) {
        Complete(*write_->Record, comm::kErrorGenFailure, write_->Done);
        write_.reset();
    }
    if (read_) {
        Complete(*read_->Record, comm::kErrorGenFailure, 0);
        read_.reset();
    }
    if (wait_) {
        *wait_->Mask = 0;
        Complete(*wait_->Record, comm::kErrorGenFailure, 0);
        wait_.reset();
    }
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
    const auto bytes =
        static_cast<std::uint32_t>(std::min<std::size_t>(read_->Count, input_.size()));
    std::copy_n(input_.begin(), bytes, read_->Buffer);
    input_.erase(input_.begin(), input_.begin() + bytes);
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

std::uint32_t Port::LineErrorsSinceLastLook() {
    TtyErrorCounts now;
    if (noErrorCounters_) {
        return 0;
    }
    if (const int error = TtyLineErrors(fd_, now); error != 0) {
        noErrorCounters_ = error == ENOTTY || error == EINVAL;
        return 0;
    }
    const std::uint32_t errors = (now.Frame != counts_.Frame ? comm::kCeFrame : 0) |
                                 (now.Overrun != counts_.Overrun ? comm::kCeOverrun : 0) |
                                 (now.Parity != counts_.Parity ? comm::kCeRxParity : 0) |
                                 (now.Break != counts_.Break ? comm::kCeBreak : 0) |
                                 (now.BufferOverrun != counts_.BufferOverrun ? comm::kCeRxOver : 0);
    counts_ = now;
    return errors;
}

bool Port::SetupComm(std::uint32_t inQueue, std::uint32_t /*outQueue*/) {
    const std::lock_guard lock(mutex_);
    if (!Usable()) {
        return false;
    }
    inQueueSize_ = inQueue;
    return true;
}

bool Port::GetCommState(CommDcb& dcb) {
    const std::lock_guard lock(mutex_);
    if (!Usable()) {
        return false;
    }
    TtyLine line;
    if (const int error = TtyGetLine(fd_, line); error != 0) {
        return FailWithErrno(error);
    }
    dcb = dcb_;
    dcb.BaudRate = line.BaudRate;
    dcb.ByteSize = line.ByteSize;
    dcb.Parity = line.Parity;
    dcb.StopBits = line.StopBits;
    return true;
}

bool Port::SetCommState(const CommDcb& dcb) {
    const std::lock_guard lock(mutex_);
    if (!Usable()) {
        return false;
    }
    TtyLine line;
    line.BaudRate = dcb.BaudRate;
    line.ByteSize = dcb.ByteSize;
    line.Parity = dcb.Parity;
    line.StopBits = dcb.StopBits;
    line.ParityCheck = (dcb.Flags & comm::kDcbParity) != 0;
    line.RtsCtsFlow = (dcb.Flags & comm::kDcbOutxCtsFlow) != 0 ||
                      (dcb.Flags & comm::kDcbRtsControlMask) == comm::kDcbRtsHandshake;
    line.XonXoffOut = (dcb.Flags & comm::kDcbOutX) != 0;
    line.XonXoffIn = (dcb.Flags & comm::kDcbInX) != 0;
    line.XonChar = dcb.XonChar;
    line.XoffChar = dcb.XoffChar;
    if (const int error = TtySetLine(fd_, line); error != 0) {
        return FailWithErrno(error);
    }
    dcb_ = dcb;
    return true;
}

bool Port::GetCommTimeouts(CommTimeouts& timeouts) {
    const std::lock_guard lock(mutex_);
    if (!Usable()) {
        return false;
    }
    timeouts = timeouts_;
    return true;
}

bool Port::SetCommTimeouts(const CommTimeouts& timeouts) {
    const std::lock_guard lock(mutex_);
    if (!Usable()) {
        return false;
    }
    timeouts_ = timeouts;
    return true;
}

bool Port::SetCommMask(std::uint32_t mask) {
    const std::lock_guard lock(mutex_);
    if (!Usable()) {
        return false;
    }
    mask_ = mask;
    history_ = 0;
    if (wait_) {
        *wait_->Mask = 0;
        Complete(*wait_->Record, comm::kErrorSuccess, 0);
        wait_.reset();
    }
    return true;
}

bool Port::WaitCommEvent(std::uint32_t& mask, Overlapped& overlapped) {
    const std::lock_guard lock(mutex_);
    if (!Usable()) {
        return false;
    }
    if (mask_ == 0 || wait_) {
        return Fail(comm::kErrorInvalidParameter);
    }
    if ((history_ & mask_) != 0) {
        mask = history_ & mask_;
        history_ = 0;
        Complete(overlapped, comm::kErrorSuccess, 0);
        return true;
    }
    StartPending(overlapped);
    wait_ = PendingWait{&overlapped, &mask};
    return Fail(comm::kErrorIoPending);
}

bool Port::PurgeComm(std::uint32_t flags) {
    const std::lock_guard lock(mutex_);
    if (!Usable()) {
        return false;
    }
    if ((flags & comm::kPurgeTxAbort) != 0 && write_) {
        Complete(*write_->Record, comm::kErrorOperationAborted, write_->Done);
        write_.reset();
    }
    if ((flags & comm::kPurgeRxAbort) != 0 && read_) {
        Complete(*read_->Record, comm::kErrorOperationAborted, 0);
        read_.reset();
    }
    if ((flags & comm::kPurgeRxClear) != 0) {
        input_.clear();
    }
    const int error =
        TtyFlush(fd_, (flags & comm::kPurgeRxClear) != 0, (flags & comm::kPurgeTxClear) != 0);
    Wake();
    return error == 0 || FailWithErrno(error);
}

bool Port::EscapeCommFunction(std::uint32_t function) {
    const std::lock_guard lock(mutex_);
    if (!Usable()) {
        return false;
    }
    int error = 0;
    switch (function) {
    case comm::kSetDtr:
    case comm::kClrDtr:
        error = TtySetModemLine(fd_, ModemLine::Dtr, function == comm::kSetDtr);
        break;
    case comm::kSetRts:
    case comm::kClrRts:
        error = TtySetModemLine(fd_, ModemLine::Rts, function == comm::kSetRts);
        break;
    case comm::kSetXoff:
    case comm::kSetXon:
        error = TtySuspendOutput(fd_, function == comm::kSetXoff);
        break;
    case comm::kSetBreak:
    case comm::kClrBreak:
        error = TtyBreak(fd_, function == comm::kSetBreak);
        break;
    default:
        return Fail(comm::kErrorInvalidParameter);
    }
    return error == 0 || FailWithErrno(error);
}

bool Port::ClearCommError(std::uint32_t& errors, CommStat& stat) {
    const std::lock_guard lock(mutex_);
    if (!Usable()) {
        return false;
    }
    errors = errors_ | LineErrorsSinceLastLook();
    errors_ = 0;
    std::uint32_t unsent = 0;
    static_cast<void>(TtyOutQueue(fd_, unsent));
    if (write_) {
        unsent += write_->Count - write_->Done;
    }
    stat = CommStat{0, static_cast<std::uint32_t>(input_.size()), unsent};
    return true;
}

bool Port::GetCommModemStatus(std::uint32_t& status) {
    const std::lock_guard lock(mutex_);
    if (!Usable()) {
        return false;
    }
    // A tty without modem lines (a pty, say): every input reads as off. Known after the first
    // look, so later status reads cost no system call.
    status = 0;
    if (noModemLines_) {
        return true;
    }
    const int error = TtyGetModem(fd_, status);
    if (error == ENOTTY || error == EINVAL) {
        noModemLines_ = true;
        status = 0;
        return true;
    }
    return error == 0 || FailWithErrno(error);
}

bool Port::ReadFile(std::uint8_t* buffer, std::uint32_t count, std::uint32_t& read,
                    Overlapped& overlapped) {
    const std::lock_guard lock(mutex_);
    if (!Usable()) {
        return false;
    }
    if (read_) {
        return Fail(comm::kErrorInvalidParameter);
    }
    const bool anyWillDo = timeouts_.ReadIntervalTimeout == comm::kMaxDword && !input_.empty();
    if (input_.size() >= count || anyWillDo || ReadsReturnAtOnce(timeouts_)) {
        read = static_cast<std::uint32_t>(std::min<std::size_t>(count, input_.size()));
        std::copy_n(input_.begin(), read, buffer);
        input_.erase(input_.begin(), input_.begin() + read);
        Complete(overlapped, comm::kErrorSuccess, read);
        return true;
    }
    std::optional<Clock::time_point> deadline;
    const std::uint64_t total =
        static_cast<std::uint64_t>(timeouts_.ReadTotalTimeoutMultiplier) * count +
        timeouts_.ReadTotalTimeoutConstant;
    if (total != 0) {
        deadline = Clock::now() + std::chrono::milliseconds(total);
    }
    StartPending(overlapped);
    read_ = PendingRead{&overlapped, buffer, count, deadline};
    Wake();
    return Fail(comm::kErrorIoPending);
}

bool Port::WriteFile(const std::uint8_t* buffer, std::uint32_t count, std::uint32_t& written,
                     Overlapped& overlapped) {
    const std::lock_guard lock(mutex_);
    if (!Usable()) {
        return false;
    }
    if (write_) {
        return Fail(comm::kErrorInvalidParameter);
    }
    if (count == 0) {
        written = 0;
        Complete(overlapped, comm::kErrorSuccess, 0);
        return true;
    }
    std::optional<Clock::time_point> deadline;
    const std::uint64_t total =
        static_cast<std::uint64_t>(timeouts_.WriteTotalTimeoutMultiplier) * count +
        timeouts_.WriteTotalTimeoutConstant;
    if (total != 0) {
        deadline = Clock::now() + std::chrono::milliseconds(total);
    }
    StartPending(overlapped);
    write_ = PendingWrite{&overlapped, buffer, count, 0, deadline};
    Wake();
    return Fail(comm::kErrorIoPending);
}

} // namespace lum::platform::posix
