#include "tools/vfd/ByteSource.h"

#include "platform/posix/PosixTty.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lum::vfd {

namespace {

std::string Failure(const std::string& what, int error) {
    return what + ": " + std::strerror(error);
}

} // namespace

std::optional<ByteSource> OpenPty(std::string& error) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        error = Failure("cannot create a pty", errno);
        if (master >= 0) {
            ::close(master);
        }
        return std::nullopt;
    }
    ByteSource source;
    source.Fd = master;
    source.Name = ptsname(master);
    source.KeepOpen = ::open(source.Name.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (source.KeepOpen < 0 || platform::posix::TtyMakeRaw(source.KeepOpen) != 0) {
        error = Failure("cannot open " + source.Name, errno);
        Close(source);
        return std::nullopt;
    }
    return source;
}

std::optional<ByteSource> OpenDevice(const std::string& path, unsigned baud, std::string& error) {
    ByteSource source;
    source.Name = path;
    // Non-blocking: a line without carrier must not hold the open.
    source.Fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (source.Fd < 0) {
        error = Failure("cannot open " + path, errno);
        return std::nullopt;
    }
    platform::posix::TtyLine line;
    line.BaudRate = baud;
    if (const int failed = platform::posix::TtyMakeRaw(source.Fd); failed != 0) {
        error = Failure(path + " is no serial device", failed);
        Close(source);
        return std::nullopt;
    }
    if (const int failed = platform::posix::TtySetLine(source.Fd, line); failed != 0) {
        error = Failure("cannot set " + path + " to " + std::to_string(baud) + " baud 8N1", failed);
        Close(source);
        return std::nullopt;
    }
    return source;
}

std::optional<ByteSource> OpenFile(const std::string& path, std::string& error) {
    ByteSource source;
    source.Name = path;
    source.EndsAtEof = true;
    // Non-blocking: a FIFO without a writer must not hold the open; it is then read as the
    // writer writes, until it closes.
    source.Fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (source.Fd < 0) {
        error = Failure("cannot open " + path, errno);
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(source.Fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        error = Failure("cannot read " + path, EISDIR);
        Close(source);
        return std::nullopt;
    }
    return source;
}

void Close(ByteSource& source) {
    for (int* fd : {&source.Fd, &source.KeepOpen}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
}

} // namespace lum::vfd
