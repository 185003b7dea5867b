#include "tools/common/SignalWatch.h"

#include <map>
#include <mutex>
#include <pthread.h>
#include <thread>
#include <unistd.h>

namespace lum::tools {
namespace {

constexpr int kControlSignals[] = {SIGINT, SIGTERM, SIGHUP};

/// Ends the process by `signal` as if it had never been blocked.
[[noreturn]] void EndBy(int signal) {
    std::signal(signal, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    std::raise(signal);
    _exit(128 + signal); // not reached: the default action of each control signal ends the process
}

} // namespace

struct SignalWatch::State {
    sigset_t Signals;
    mutable std::mutex Lock;
    std::map<int, std::function<void()>> Handlers;
};

SignalWatch::SignalWatch() : state_(std::make_shared<State>()) {
    sigemptyset(&state_->Signals);
    for (const int signal : kControlSignals) {
        sigaddset(&state_->Signals, signal);
    }
    pthread_sigmask(SIG_BLOCK, &state_->Signals, nullptr);
}

const sigset_t& SignalWatch::Signals() const {
    return state_->Signals;
}

void SignalWatch::Handle(std::initializer_list<int> signals, std::function<void()> handler) {
    const std::lock_guard lock(state_->Lock);
    for (const int signal : signals) {
        state_->Handlers[signal] = handler;
    }
}

void SignalWatch::Dispatch(int signal) const {
    std::function<void()> handler;
    {
        const std::lock_guard lock(state_->Lock);
        if (const auto found = state_->Handlers.find(signal); found != state_->Handlers.end()) {
            handler = found->second;
        }
    }
    if (!handler) {
        EndBy(signal);
    }
    handler();
}

void SignalWatch::StartThread(const char* name) const {
    std::thread([watch = *this, name] {
        pthread_setname_np(pthread_self(), name);
        for (;;) {
            int signal = 0;
            if (sigwait(&watch.Signals(), &signal) == 0) {
                watch.Dispatch(signal);
            }
        }
    }).detach();
}

} // namespace lum::tools
