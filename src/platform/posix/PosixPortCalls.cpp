// Port: the comm calls, made on the caller's thread under the port's lock.
#include "platform/posix/PosixPort.h"
#include "platform/posix/PosixSync.h"

#include <cerrno>

namespace lum::platform::posix {

namespace {

/// Time-outs after which reads return at once with what is queued.
bool ReadsReturnAtOnce(const CommTimeouts& timeouts) {
    return timeouts.ReadIntervalTimeout == comm::kMaxDword &&
           timeouts.ReadTotalTimeoutMultiplier == 0 && timeouts.ReadTotalTimeoutConstant == 0;
}

} // namespace

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
        read = model::TakeQueued(input_, buffer, count);
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
