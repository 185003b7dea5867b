#include "apps/lumd/Detach.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>

namespace lum::lumd {
namespace {

[[noreturn]] void WaitAsParent(pid_t child, int fromChild) {
    char running = 0;
    ssize_t got = 0;
    do {
        got = ::read(fromChild, &running, 1);
    } while (got < 0 && errno == EINTR);
    if (got == 1) {
        std::_Exit(0);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    std::_Exit(WIFEXITED(status) ? WEXITSTATUS(status) : 1);
}

} // namespace

Detachment Detachment::Detach() {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        throw std::system_error(errno, std::generic_category(), "pipe");
    }
    const pid_t child = ::fork();
    if (child < 0) {
        throw std::system_error(errno, std::generic_category(), "fork");
    }
    if (child > 0) {
        ::close(pipeFds[1]);
        WaitAsParent(child, pipeFds[0]);
    }
    ::close(pipeFds[0]);
    ::setsid();
    if (const int nothing = ::open("/dev/null", O_RDONLY | O_CLOEXEC); nothing >= 0) {
        ::dup2(nothing, STDIN_FILENO);
        ::close(nothing);
    }
    return Detachment(pipeFds[1]);
}

Detachment::~Detachment() {
    if (toParent_ >= 0) {
        ::close(toParent_);
    }
}

void Detachment::Running() {
    if (toParent_ < 0) {
        return;
    }
    const char running = 1;
    while (::write(toParent_, &running, 1) < 0 && errno == EINTR) {
    }
    ::close(toParent_);
    toParent_ = -1;
}

} // namespace lum::lumd
