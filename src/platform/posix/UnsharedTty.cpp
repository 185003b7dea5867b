#include "platform/posix/UnsharedTty.h"

#include "platform/posix/PosixTty.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace lum::platform::posix {

int OpenUnsharedTty(const std::string& path, int& fd) {
    const int opened = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (opened < 0) {
        return errno;
    }
    // The lock comes first, so that an opener it refuses leaves the owner's exclusive mode alone.
    int error = 0;
    if (flock(opened, LOCK_EX | LOCK_NB) != 0) {
        error = errno;
    } else if (const int raw = TtyMakeRaw(opened); raw != 0) {
        error = raw;
    } else if (const int exclusive = TtyExclusive(opened, true); exclusive != 0) {
        error = exclusive;
    }
    if (error != 0) {
        ::close(opened);
        return error;
    }
    fd = opened;
    return 0;
}

void CloseUnsharedTty(int fd) {
    static_cast<void>(TtyExclusive(fd, false));
    ::close(fd);
}

} // namespace lum::platform::posix
