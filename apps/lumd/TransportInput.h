#pragma once
// lumd's commands on standard input, one a line, in the stand-in host's words so that the same
// scripts drive both: play, pause (toggles), stop, next, prev, quit, and sleep <ms> (the lines
// after it wait that long, while everything else goes on); and brightness <1-4>, the main
// window's "Hell 1" to "Hell 4". Other host commands and unknown lines are logged and skipped;
// the end of input ends only the reading (a service's standard input is empty).
//
// The input is read on lumd's loop, only when it has bytes (a file, always), so a read never
// waits; lines are split in bounded memory, and while lines wait behind a sleep nothing more is
// read.

#include "apps/lumd/EventLoop.h"
#include "apps/lumd/Log.h"
#include "display/NowPlaying.h"
#include "tools/common/InputLines.h"

#include <deque>
#include <functional>
#include <variant>

namespace lum::lumd {

/// The quit command.
struct QuitCommand {};

/// A brightness step, 1 (brightest) to 4.
struct BrightnessCommand {
    int Step = 1;
};

/// What one line asks lumd for.
using InputCommand = std::variant<TransportCommand, QuitCommand, BrightnessCommand>;

/// The commands of one descriptor, read on a loop.
class TransportInput {
public:
    /// Reads `fd` (which stays open and the caller's) on `loop` from now on, to its end or a
    /// quit, handing each command to `run` on the loop's thread.
    TransportInput(EventLoop& loop, int fd, Log& log, std::function<void(const InputCommand&)> run);
    ~TransportInput();
    TransportInput(const TransportInput&) = delete;
    TransportInput& operator=(const TransportInput&) = delete;

    /// The reading has ended: the input's end or a quit came.
    [[nodiscard]] bool Ended() const { return ended_; }

private:
    /// Reads what the descriptor has and takes the lines it completes.
    void Read();
    /// Takes the waiting lines up to a sleep or the end, then reads on or stops reading.
    void TakeLines();
    /// Acts on one line.
    void Take(tools::InputLine line);
    /// Watches the descriptor or stops watching it.
    void Watching(bool on);

    EventLoop& loop_;
    int fd_;
    Log& log_;
    std::function<void(const InputCommand&)> run_;
    platform::Timer& sleep_; ///< the wait of a sleep command
    tools::LineSplitter splitter_;
    std::deque<tools::InputLine> waiting_; ///< lines read but not taken yet
    bool pollable_ = false;                ///< false for a file: always ready, never watched
    bool watching_ = false;
    bool readPosted_ = false; ///< a file's next read waits for the loop's next turn
    bool atEnd_ = false;
    bool ended_ = false;
};

} // namespace lum::lumd
