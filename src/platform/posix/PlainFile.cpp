#include "platform/posix/PlainFile.h"

#include "platform/BoundedRead.h"

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
    int error = 0;
    const BoundedReadEnd end = ReadAllBounded(
        [fd, &error](std::uint8_t* buffer, std::size_t size) -> long long {
            ssize_t got = 0;
            do {
                got = ::read(fd, buffer, size);
            } while (got < 0 && errno == EINTR);
            error = got < 0 ? errno : 0;
            return got;
        },
        maxBytes, result.Bytes);
    if (end == BoundedReadEnd::ReadFailed) {
        result = Failed(PlainFileStatus::ReadFailed, error);
    } else if (end == BoundedReadEnd::TooLong) {
        result = Failed(PlainFileStatus::TooLong);
    }
    ::close(fd);
    return result;
}

} // namespace lum::platform::posix
