#pragma once
// LCDproc's server LCDd for one test, as Debian ships it: its text driver, which prints the
// whole screen on standard output each time it renders (8 times a second), framed as
//
//   +--------------------+
//   |line 1              |
//   |line 2              |
//   +--------------------+
//
// on a free TCP port of 127.0.0.1, with a configuration of its own, in the foreground. A thread
// reads what it prints through a FIFO, each screen stamped with the time its first line came.

#include "Processes.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace lum::lumd::testing {

/// One screen LCDd rendered.
struct LcdScreen {
    std::size_t Index = 0;
    std::chrono::steady_clock::time_point At{};
    std::vector<std::string> Lines;
};

/// A running LCDd and what it showed.
class LcdServer {
public:
    /// Why LCDd cannot run here (not installed, no text driver); empty when it can.
    [[nodiscard]] static std::string Missing();

    /// Starts LCDd with a `width` x `height` display; raises std::runtime_error when it does not
    /// listen within seconds.
    LcdServer(int width, int height);
    ~LcdServer();
    LcdServer(const LcdServer&) = delete;
    LcdServer& operator=(const LcdServer&) = delete;

    /// "127.0.0.1:PORT", for lumd's --lcdproc.
    [[nodiscard]] std::string Address() const;
    [[nodiscard]] unsigned Port() const { return port_; }
    /// How many screens came so far.
    [[nodiscard]] std::size_t Mark() const;
    /// The first screen from `mark` on that passes `test`, waiting up to `timeout` for it.
    [[nodiscard]] std::optional<LcdScreen>
    WaitFor(std::size_t mark, const std::function<bool(const LcdScreen&)>& test,
            std::chrono::milliseconds timeout);

    /// Kills LCDd at once (SIGKILL).
    void Kill();
    /// Starts LCDd (again) on its port; waits until it listens.
    void Restart();

private:
    void Read();
    void TakeLine(const std::string& line, std::chrono::steady_clock::time_point at);

    TempFolder folder_;
    std::string fifo_;
    unsigned port_;
    std::string config_;
    std::unique_ptr<Child> server_;
    int reading_ = -1;
    int holding_ = -1; ///< a writer of our own, so that the FIFO never reads its end
    bool stop_ = false;
    std::thread reader_;
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<LcdScreen> screens_;
    std::optional<LcdScreen> partial_; ///< a screen whose lower border has not come yet
};

/// Another client of LCDd (a media centre, say): one screen at priority info, its line 1
/// `text`; it goes when the client is dropped.
class OtherLcdClient {
public:
    /// Connects to LCDd on `port` of 127.0.0.1 and adds the screen; raises std::runtime_error
    /// when LCDd does not take it.
    OtherLcdClient(unsigned port, const std::string& text);
    ~OtherLcdClient();
    OtherLcdClient(const OtherLcdClient&) = delete;
    OtherLcdClient& operator=(const OtherLcdClient&) = delete;

private:
    int fd_ = -1;
};

/// A screen whose line `line` (0-based) starts with `text`.
[[nodiscard]] std::function<bool(const LcdScreen&)> LcdLineStarts(std::size_t line,
                                                                  const std::string& text);

} // namespace lum::lumd::testing
