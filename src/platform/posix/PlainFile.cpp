#include "platform/posix/PlainFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lum::platform::posix {
namespace {

PlainFileRead Failed(PlainFileStatus status, int error = 0) {
    PlainFileRead result;
    result.Status = status;
    result.Error = error;
    return result;
}

} // namespace

PlainFileRead ReadPlainFile(const std::string& path, int accessMode, std::size_t maxBytes) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return Failed(PlainFileStatus::OpenFailed, errno);
    }
    if (!S_ISREG(info.st_mode)) {
        return Failed(PlainFileStatus::NotPlainFile);
    }
    // Non-blocking and checked again once open: the entry may have been swapped for a FIFO or a
    // device since the stat, and opening one must neither hang nor reach a terminal.
    const int fd = ::open(path.c_str(), accessMode | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        return Failed(PlainFileStatus::OpenFailed, errno);
    }
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return Failed(PlainFileStatus::NotPlainFile);
    }
    PlainFileRead result;
    std::uint8_t chunk[4096];
    for (;;) {
        const std::size_t wanted = std::min(sizeof chunk, maxBytes + 1 - result.Bytes.size());
        const ssize_t got = ::read(fd, chunk, wanted);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            result = Failed(PlainFileStatus::ReadFailed, errno);
            break;
        }
        if (got == 0) {
            break;
        }
        result.Bytes.insert(result.Bytes.end(), chunk, chunk + got);
        if (result.Bytes.size() > maxBytes) {
            result = Failed(PlainFileStatus::TooLong);
            break;
        }
    }
    ::close(fd);
    return result;
}

} // namespace lum::platform::posix
