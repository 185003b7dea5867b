// Port: opening and closing a tty, and the checks every comm call makes first.
#include "platform/posix/PosixPort.h"

#include "platform/posix/PortOpenFailures.h"
#include "platform/posix/PosixSync.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
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
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return OpenFailed(path, errno);
    }
    // Unshared, as Windows opens a COM port: the lock keeps out every other opener through this
    // layer (a privileged one too), the tty's exclusive mode every other unprivileged open. The
    // lock comes first, so that an opener it refuses leaves the owner's exclusive mode alone.
    std::array<int, 2> wake{};
    int error = 0;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = errno;
    } else if (const int raw = TtyMakeRaw(fd); raw != 0) {
        error = raw;
    } else if (pipe2(wake.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        error = errno;
    } else if (const int exclusive = TtyExclusive(fd, true); exclusive != 0) {
        error = exclusive;
        ::close(wake[0]);
        ::close(wake[1]);
    }
    if (error != 0) {
        ::close(fd);
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
    // The exclusive mode belongs to the tty, not to this open: while anyone else keeps the tty
    // (a pty's master side) it would outlive the close. Closing lets go of the lock.
    static_cast<void>(TtyExclusive(fd_, false));
    ::close(fd_);
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

} // namespace lum::platform::posix
