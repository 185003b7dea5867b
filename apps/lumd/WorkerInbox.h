#pragma once
// What other threads hand to a source's worker thread: transport commands and the request to stop.
// The worker sleeps in poll() on its connection and on this inbox's event descriptor, so a command
// wakes it at once and nothing ever polls on a timer. A worker that blocks in a library's reads and
// writes on a socket hands the socket to the inbox: the stop request shuts it down, so whatever
// the server does (no answer, an answer without end), every blocking call on it returns at once.

#include "display/NowPlaying.h"

#include <functional>
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
    /// Asks the worker to end, wakes it and shuts down the socket it holds.
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

    /// Makes `fd` the socket a stop request shuts down; false, with nothing kept, when the stop
    /// was requested already.
    [[nodiscard]] bool HoldSocket(int fd);
    /// Forgets the socket and runs `close` (which closes it) under the same lock, so that a stop
    /// request never shuts down a descriptor number the system has given out again.
    void ReleaseSocket(const std::function<void()>& close);

private:
    void Wake();

    int eventFd_ = -1;
    mutable std::mutex mutex_;
    std::vector<TransportCommand> commands_;
    bool stop_ = false;
    int socket_ = -1;
};

} // namespace lum::lumd
