#pragma once
// The display engine's frames shown on a display of LCDproc's server LCDd: lumd is one of LCDd's
// clients (LcdprocScreen.h has the protocol), over TCP on lumd's loop. Nothing it does blocks the
// loop: the host name is resolved on a thread of its own, the connection is made without
// blocking, and LCDd's answers are read when the loop sees them.
//
// The screen shows the engine's last frame; after a (re)connection it is sent whole, and from
// then on only its lines that changed, and only while LCDd takes what was written before (what
// changes meanwhile goes out combined). LCDd's size becomes the frame's (OnSize). The screen has
// the priority foreground while the player plays and the idle priority otherwise, so that other
// clients get the display back. LCDd's drivers know two brightness levels, the backlight on
// (LCDd.conf's Brightness) and off (OffBrightness): brightness steps 2-4 are on, step 1 (the
// dimmest, which the rest uses) is off.
//
// While LCDd is not there or has gone, lumd tries again once a second; the outage is logged once
// when it begins and once when LCDd is back. LCDd's "huh?" answers are logged as warnings.

#include "apps/lumd/EventLoop.h"
#include "apps/lumd/LcdprocAddress.h"
#include "apps/lumd/LcdprocScreen.h"
#include "apps/lumd/Log.h"
#include "apps/lumd/TcpEndpoints.h"
#include "common/DisplayCharset.h"
#include "display/FrameOutput.h"

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace lum::lumd {

/// The LCDd output's choices.
struct LcdprocOptions {
    LcdprocAddress Address{};
    /// The screen's priority while the player is stopped or paused.
    ScreenPriority Idle = ScreenPriority::Background;
};

/// The frame output that is a client of LCDd.
class LcdprocOutput final : public FrameOutput {
public:
    /// An output that has not connected yet. `loop` and `log` must outlive the output.
    LcdprocOutput(EventLoop& loop, Log& log, LcdprocOptions options);
    /// Closes the connection, which removes lumd's screen from LCDd.
    ~LcdprocOutput() override;
    LcdprocOutput(const LcdprocOutput&) = delete;
    LcdprocOutput& operator=(const LcdprocOutput&) = delete;

    /// Starts connecting.
    void Start();
    /// The frames' text goes out in `charset`'s bytes (null: as it is), which must outlive the
    /// output.
    void SetCharset(const DisplayCharset* charset) { charset_ = charset; }
    /// Where LCDd is.
    [[nodiscard]] const LcdprocAddress& Address() const { return options_.Address; }
    /// The player plays (the screen in the foreground) or not (the idle priority).
    void SetPlaying(bool playing);

    /// Hears the display's size at each connection.
    std::function<void(LcdSize)> OnSize;

    /// Never busy: what LCDd has not taken yet is combined with what follows.
    [[nodiscard]] bool Busy() const override { return false; }
    void Frame(const FrameLines& lines) override;
    void Clear(const FrameLines& blank) override { Frame(blank); }
    void Brightness(int step) override;
    /// LCDd initialises its display itself.
    void Initialise(std::string_view) override {}
    void StartLineFeed() override {}
    void DialogOkText() override {}
    [[nodiscard]] std::size_t LargestWrite(std::size_t, std::size_t) const override { return 0; }

private:
    enum class State { Waiting, Resolving, Connecting, Greeting, Ready };

    /// An attempt: the host resolved on a thread, then OnResolved on the loop.
    void Attempt();
    void OnResolved(std::vector<Endpoint> endpoints, const std::string& error);
    /// Connects to the next endpoint of the attempt; failing them all ends it.
    void ConnectNext();
    void OnSocketReady(std::uint32_t events);
    void OnConnected();
    void ReadAnswers();
    void OnAnswer(std::string_view line);
    /// Writes what is waiting, then what changed when nothing waits.
    void Flush();
    /// The connection is over (or never came): closed, logged once, the next attempt in a second.
    void Fail(const std::string& reason);
    void CloseSocket();

    EventLoop& loop_;
    Log& log_;
    LcdprocOptions options_;
    const DisplayCharset* charset_ = nullptr;
    platform::Timer& timer_; ///< the next attempt, or the deadline of the running one
    LcdprocScreen screen_;
    State state_ = State::Waiting;
    bool wasConnected_ = false; ///< the display has been on LCDd in this run
    bool outageLogged_ = false; ///< the outage under way has been logged
    std::vector<Endpoint> endpoints_;
    std::size_t next_ = 0; ///< the endpoint of the attempt to try next
    std::string lastError_;
    int fd_ = -1;
    bool writeWatched_ = false;
    std::string in_;  ///< LCDd's answers not read to their line's end
    std::string out_; ///< commands LCDd has not taken yet
    std::thread resolver_;
    bool resolverBusy_ = false; ///< the resolver has not posted its answer yet
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true); ///< read on the loop only
};

} // namespace lum::lumd
