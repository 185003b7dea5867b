#include "apps/lumd/DeviceCheck.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lum::lumd {
namespace {

DeviceCheck Refused(std::string reason) {
    return {DeviceState::Refused, std::move(reason)};
}

// What an entry that is no character device is, in words.
std::string KindOf(const struct stat& entry) {
    if (S_ISDIR(entry.st_mode)) {
        return "a folder";
    }
    if (S_ISREG(entry.st_mode)) {
        return "a plain file";
    }
    if (S_ISFIFO(entry.st_mode)) {
        return "a FIFO";
    }
    if (S_ISSOCK(entry.st_mode)) {
        return "a socket";
    }
    return "a block device";
}

} // namespace

DeviceCheck CheckDevice(const std::string& path) {
    struct stat entry {};
    if (::stat(path.c_str(), &entry) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return {DeviceState::Missing, "no such device"};
        }
        return Refused(std::strerror(errno));
    }
    if (!S_ISCHR(entry.st_mode)) {
        return Refused("not a tty but " + KindOf(entry));
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        switch (error) {
        case ENOENT:
        case ENXIO:
        case ENODEV:
        case EIO:
            // The node is there, its device is not (an unplugged adapter's old node, a UART
            // that is not fitted).
            return {DeviceState::Missing, std::strerror(error)};
        case EACCES:
        case EPERM:
            return Refused("no permission to open it (is the user in the tty's group, "
                           "often dialout?)");
        case EBUSY:
            return Refused("in use by another program");
        default:
            return Refused(std::strerror(error));
        }
    }
    DeviceCheck check;
    if (isatty(fd) == 0) {
        check = Refused("not a tty");
    } else if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        check = Refused("in use by another program");
    }
    ::close(fd);
    return check;
}

} // namespace lum::lumd
