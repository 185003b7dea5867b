#pragma once
// Synchronised calls: a worker thread hands a call to the user-interface thread and blocks
// until it has run there, so that everything a worker raises runs on the user-interface
// thread, one call at a time. The user-interface thread serves the calls from its message
// loop, and while it waits for a worker's end.

#include <functional>
#include <memory>

namespace lum::platform {

/// A worker thread started through SyncCalls.
class SyncThread {
public:
    virtual ~SyncThread() = default;

    /// Waits on the user-interface thread until the thread has ended, serving its synchronised
    /// calls meanwhile. Must be called once before the object is destroyed.
    virtual void WaitFor() = 0;
};

/// The synchronised-call mechanism of one user-interface thread.
class SyncCalls {
public:
    virtual ~SyncCalls() = default;

    /// Starts `body` on a new thread (called on the user-interface thread).
    [[nodiscard]] virtual std::unique_ptr<SyncThread> StartThread(std::function<void()> body) = 0;

    /// Runs `call` on the user-interface thread and returns when it has run (called on a worker).
    virtual void Synchronize(const std::function<void()>& call) = 0;
};

/// The mechanism of the calling (user-interface) thread. Windows: a message-only window served
/// by the thread's message loop. Elsewhere: a headless loop the caller serves.
[[nodiscard]] std::unique_ptr<SyncCalls> CreateUiThreadCalls();

} // namespace lum::platform
