#pragma once
// lumd's display line: the display driver's line on one tty, written through a TtyWriter, so
// that nothing runs while nothing is sent. Every port a settings file gives opens that tty.
// The device going away reaches the driver as a trouble at the user-interface loop's next turn,
// posted there from whichever thread noticed it, never inside a call of the driver's; so does
// the end of a watched write. A write is pending until it has left the wire at the line's rate,
// so frames never come faster than the line carries them.

#include "driver/DisplayLine.h"
#include "platform/posix/TtyWriter.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace lum::lumd {

/// Runs a call on the user-interface thread at its loop's next turn; callable from any thread.
using PostToUi = std::function<void(std::function<void()>)>;

/// The display's line on a tty.
class TtyDisplayLine final : public DisplayLine {
public:
    /// A closed line on `device` at 9600 baud; `post` must outlive the line.
    TtyDisplayLine(std::string device, PostToUi post);
    ~TtyDisplayLine() override;
    TtyDisplayLine(const TtyDisplayLine&) = delete;
    TtyDisplayLine& operator=(const TtyDisplayLine&) = delete;

    /// Every port 1-9 opens the tty; a new one reopens an open line, as the component does.
    void SetPort(std::int32_t comPort) override;
    void SetBaudRate(std::uint32_t rate) override;
    [[nodiscard]] std::uint32_t BaudRate() const override { return baudRate_; }
    /// The line is always 8N1 without flow control.
    void SetFrame8N1() override {}
    void SetOpen(bool open) override;
    [[nodiscard]] bool IsOpen() const override { return writer_ != nullptr; }
    void SetDtr(bool on) override;
    [[nodiscard]] bool Dtr() const override { return dtr_; }
    void Send(std::string_view text) override;
    [[nodiscard]] bool SendPending() const override;
    [[nodiscard]] std::uint32_t OutQueueBytes() const override;
    void WatchSendEnd() override;

private:
    std::string device_;
    PostToUi post_;
    std::int32_t port_ = 0; ///< the port last set; 0 before the first
    std::uint32_t baudRate_ = 9600;
    bool dtr_ = true;
    /// True while the open it was made for is the line's current one; a report posted from an
    /// earlier open (or after the line has gone) finds it false. Used on the user-interface
    /// thread only.
    std::shared_ptr<bool> current_;
    std::unique_ptr<platform::posix::TtyWriter> writer_;
};

} // namespace lum::lumd
