#include "tools/lumd/Signals.h"

#include <cstdlib>
#include <pthread.h>
#include <thread>

namespace lum::lumd {

sigset_t BlockControlSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaddset(&signals, signal);
    }
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    return signals;
}

void QuitRoute::Arm(std::function<void()> quit) {
    const std::lock_guard lock(mutex_);
    quit_ = std::move(quit);
}

void QuitRoute::Quit() {
    const std::lock_guard lock(mutex_);
    if (!quit_) {
        std::_Exit(0);
    }
    quit_();
}

void StartSignalThread(const sigset_t& signals, QuitRoute& route, std::function<void()> reread) {
    std::thread([signals, &route, reread = std::move(reread)] {
        pthread_setname_np(pthread_self(), "lumd-signals");
        for (;;) {
            int signal = 0;
            if (sigwait(&signals, &signal) != 0) {
                continue;
            }
            if (signal == SIGHUP) {
                reread();
            } else {
                route.Quit();
            }
        }
    }).detach();
}

} // namespace lum::lumd
