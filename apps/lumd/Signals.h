#pragma once
// lumd's control signals on its loop: the signals the tools' signal watch keeps blocked are read
// from a signalfd when the loop wakes for it, and each goes to the watch's dispatch on the loop's
// thread, so no thread of its own waits for them.

#include "apps/lumd/EventLoop.h"
#include "tools/common/SignalWatch.h"

namespace lum::lumd {

/// The watch's signals taken on a loop.
class LoopSignals {
public:
    /// From now on `loop` takes the signals of `watch` (which must outlive this); raises
    /// std::system_error when no signalfd can be had.
    LoopSignals(EventLoop& loop, const tools::SignalWatch& watch);
    ~LoopSignals();
    LoopSignals(const LoopSignals&) = delete;
    LoopSignals& operator=(const LoopSignals&) = delete;

private:
    void TakeSignals();

    EventLoop& loop_;
    const tools::SignalWatch& watch_;
    int fd_ = -1;
};

} // namespace lum::lumd
