#include "apps/lumd/Signals.h"

#include <cerrno>
#include <sys/signalfd.h>
#include <system_error>
#include <unistd.h>

namespace lum::lumd {

LoopSignals::LoopSignals(EventLoop& loop, const tools::SignalWatch& watch)
    : loop_(loop), watch_(watch),
      fd_(::signalfd(-1, &watch.Signals(), SFD_CLOEXEC | SFD_NONBLOCK)) {
    if (fd_ < 0 || !loop_.Watch(fd_, [this](std::uint32_t) { TakeSignals(); })) {
        const int error = errno;
        ::close(fd_);
        throw std::system_error(error, std::generic_category(), "signalfd");
    }
}

LoopSignals::~LoopSignals() {
    loop_.Unwatch(fd_);
    ::close(fd_);
}

void LoopSignals::TakeSignals() {
    signalfd_siginfo taken{};
    while (::read(fd_, &taken, sizeof taken) == static_cast<ssize_t>(sizeof taken)) {
        watch_.Dispatch(static_cast<int>(taken.ssi_signo));
    }
}

} // namespace lum::lumd
