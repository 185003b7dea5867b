#include "platform/FileTail.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lum::platform {

// POSIX has no mandatory share modes: other writers cannot be kept out, so only the open itself
// can fail. Only a regular file is opened and read: a FIFO or a device gives no bytes without
// being opened (opening a FIFO releases a writer waiting for a reader, opening a terminal may make
// it the process's controlling terminal). The entry is checked again once open, since it may have
// been swapped meanwhile, and the open neither waits nor takes a terminal.
std::optional<std::size_t> ReadFileTail(const std::string& path, std::span<std::uint8_t> buffer) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) {
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode)) {
        return 0;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::size_t got = 0;
    const auto wanted = static_cast<off_t>(buffer.size());
    if (S_ISREG(info.st_mode) && info.st_size >= wanted) {
        const off_t start = info.st_size - wanted;
        while (got < buffer.size()) {
            const ssize_t n = ::pread(fd, buffer.data() + got, buffer.size() - got,
                                      start + static_cast<off_t>(got));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                break;
            }
            got += static_cast<std::size_t>(n);
        }
    }
    ::close(fd);
    return got;
}

} // namespace lum::platform
