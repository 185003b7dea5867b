#pragma once
// How a player source finds its way back to its player, the same for every source: a new attempt
// comes one retry interval after the last one failed or the connection was lost, and a command
// given meanwhile is dropped with a warning; an outage is said once when it begins ("...; trying
// again every second") and once when it ends, the failed attempts in between at the debug level
// only. A refusal (a wrong password) is an error each time it says something new.

#include "apps/lumd/Log.h"
#include "apps/lumd/WorkerInbox.h"

#include <chrono>
#include <string>

namespace lum::lumd {

/// One source's outages and the waits between its attempts, on the source's worker thread.
class Reconnection {
public:
    /// `unreachable` starts a dropped command's warning ("MPD is not connected").
    Reconnection(WorkerInbox& inbox, Log& log, std::chrono::milliseconds interval,
                 std::string unreachable);

    /// Waits one retry interval, or until a stop is requested; drops the commands that come
    /// meanwhile with a warning. Answers whether to go on (no stop was requested).
    [[nodiscard]] bool WaitToRetry();
    /// The player cannot be had (an attempt failed, the connection was lost), for `reason`; a
    /// `refusal` is news whenever its reason is. Answers whether this began an outage.
    bool Failed(const std::string& reason, bool refusal = false);
    /// The start failed and its caller said so: an outage has begun with `reason`.
    void FailedAtStart(const std::string& reason);
    /// The player answers: `message` is said when this ends an outage.
    void Back(const std::string& message);

private:
    WorkerInbox& inbox_;
    Log& log_;
    std::chrono::milliseconds interval_;
    std::string unreachable_;
    bool outage_ = false;
    std::string told_; ///< the last reason for the outage that was said
};

} // namespace lum::lumd
