#include "tools/lumhost/posix/QuitSignals.h"

#include <csignal>
#include <mutex>
#include <pthread.h>
#include <thread>
#include <unistd.h>

namespace lum::host {
namespace {

constexpr int kQuitSignals[] = {SIGINT, SIGTERM, SIGHUP};

struct Taker {
    std::mutex Lock;
    std::function<void()> Quit;
};

/// Never destroyed: the signal thread may still look at it while the process exits.
Taker& TheTaker() {
    static Taker* const taker = new Taker;
    return *taker;
}

/// Ends the process by `signal` as if it had never been blocked.
[[noreturn]] void EndBy(int signal) {
    std::signal(signal, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    std::raise(signal);
    _exit(128 + signal); // not reached: the default action of each quit signal ends the process
}

void TakeSignals(sigset_t signals) {
    for (;;) {
        int signal = 0;
        if (sigwait(&signals, &signal) != 0) {
            continue;
        }
        std::function<void()> quit;
        {
            const std::lock_guard lock(TheTaker().Lock);
            quit = TheTaker().Quit;
        }
        if (!quit) {
            EndBy(signal);
        }
        quit();
    }
}

} // namespace

void TakeQuitSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    for (const int signal : kQuitSignals) {
        sigaddset(&signals, signal);
    }
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::thread(TakeSignals, signals).detach();
}

void OnQuitSignal(std::function<void()> quit) {
    const std::lock_guard lock(TheTaker().Lock);
    TheTaker().Quit = std::move(quit);
}

} // namespace lum::host
