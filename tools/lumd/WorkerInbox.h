#pragma once
// What other threads hand to a source's worker thread: transport commands and the request to stop.
// The worker sleeps in poll() on its connection and on this inbox's event descriptor, so a command
// wakes it at once and nothing ever polls on a timer.

#include "display/NowPlaying.h"

#include <mutex>
#include <string_view>
#include <vector>

namespace lum::lumd {

/// The command's word as lumd's standard input takes it ("prev", "play", "pause", ...).
[[nodiscard]] std::string_view TransportCommandName(TransportCommand command);

/// Commands and the stop request for one worker, with the descriptor that wakes it.
class WorkerInbox {
public:
    /// Raises std::system_error when no event descriptor can be had.
    WorkerInbox();
    ~WorkerInbox();
    WorkerInbox(const WorkerInbox&) = delete;
    WorkerInbox& operator=(const WorkerInbox&) = delete;

    /// Queues `command` and wakes the worker.
    void Post(TransportCommand command);
    /// Asks the worker to end, and wakes it.
    void RequestStop();
    [[nodiscard]] bool StopRequested() const;
    /// The commands queued so far, oldest first; the queue is empty afterwards.
    [[nodiscard]] std::vector<TransportCommand> TakeCommands();

    /// What a wait saw.
    struct Readiness {
        bool Inbox = false; ///< something was posted (the wake-up is consumed)
        short Events = 0;   ///< poll's revents of the other descriptor
    };
    /// Sleeps until the inbox is posted to, `fd` (when not negative) shows one of `events`, or
    /// `timeoutMs` passes (negative: no limit).
    [[nodiscard]] Readiness Wait(int fd, short events, int timeoutMs);

private:
    void Wake();

    int eventFd_ = -1;
    mutable std::mutex mutex_;
    std::vector<TransportCommand> commands_;
    bool stop_ = false;
};

} // namespace lum::lumd
