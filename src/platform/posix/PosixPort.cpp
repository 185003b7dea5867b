// Port: opening and closing a tty, and the checks every comm call makes first.
#include "platform/posix/PosixPort.h"

#include "platform/posix/PortOpenFailures.h"
#include "platform/posix/PosixSync.h"
#include "platform/posix/UnsharedTty.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace lum::platform::posix {

namespace {

/// An open of `path` that failed with `error` (an errno value): heard by the failure handler,
/// left as the last error.
std::shared_ptr<Port> OpenFailed(const std::string& path, int error) {
    ReportPortOpenFailure(path, error);
    FailWithErrno(error);
    return nullptr;
}

} // namespace

std::shared_ptr<Port> Port::Open(const std::string& path) {
    int fd = -1;
    if (const int error = OpenUnsharedTty(path, fd); error != 0) {
        return OpenFailed(path, error);
    }
    std::array<int, 2> wake{};
    if (pipe2(wake.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        const int error = errno;
        CloseUnsharedTty(fd);
        return OpenFailed(path, error);
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
    EndAllPending(comm::kErrorOperationAborted);
    CloseUnsharedTty(fd_);
    ::close(wakeRead_);
    ::close(wakeWrite_);
}

void Port::EndAllPending(std::uint32_t error) {
    if (write_) {
        Complete(*write_->Record, error, write_->Done);
        write_.reset();
    }
    if (read_) {
        Complete(*read_->Record, error, 0);
        read_.reset();
    }
    if (wait_) {
        *wait_->Mask = 0;
        Complete(*wait_->Record, error, 0);
        wait_.reset();
    }
}

void Port::Wake() {
    const char byte = 0;
    // A write that fails finds the pipe full: a wake-up is pending already. (The result must be
    // taken: with _FORTIFY_SOURCE, a cast to void does not silence the unused-result warning.)
    [[maybe_unused]] const ssize_t written = ::write(wakeWrite_, &byte, 1);
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

} // namespace lum::platform::posix
