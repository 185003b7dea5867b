#include "apps/lumd/StandardStreams.h"

#include <csignal>
#include <fcntl.h>
#include <initializer_list>
#include <unistd.h>

namespace lum::lumd {

void OpenClosedStandardStreams() {
    // Each open takes the lowest free descriptor: the closed ones among 0-2 first.
    for (int fd = ::open("/dev/null", O_RDWR); fd >= 0; fd = ::open("/dev/null", O_RDWR)) {
        if (fd > STDERR_FILENO) {
            ::close(fd);
            return;
        }
    }
}

void IgnoreStreamSignals() {
    for (const int signal : {SIGPIPE, SIGTTIN, SIGTTOU}) {
        std::signal(signal, SIG_IGN);
    }
}

bool MayReadStandardInput() {
    // tcgetpgrp fails for anything but the controlling terminal, which alone stops a reader.
    const pid_t foreground = ::tcgetpgrp(STDIN_FILENO);
    return foreground < 0 || foreground == ::getpgrp();
}

} // namespace lum::lumd
