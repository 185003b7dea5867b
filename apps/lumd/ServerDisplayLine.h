#pragma once
// The display driver's line when the display belongs to a server (LCDd): no device to open, no
// DTR to drive and nothing written to it; the frames go to the server through the driver's
// frame output. It opens whenever asked and never goes away, so the driver's start sequence and
// quit run as on a tty that is always there.

#include "driver/DisplayLine.h"

namespace lum::lumd {

/// A line that only keeps the state the driver sets.
class ServerDisplayLine final : public DisplayLine {
public:
    void SetPort(std::int32_t) override {}
    void SetBaudRate(std::uint32_t rate) override { baudRate_ = rate; }
    [[nodiscard]] std::uint32_t BaudRate() const override { return baudRate_; }
    void SetFrame8N1() override {}
    void SetOpen(bool open) override {
        open_ = open;
        dtr_ = open;
    }
    [[nodiscard]] bool IsOpen() const override { return open_; }
    void SetDtr(bool on) override {
        if (open_) {
            dtr_ = on;
        }
    }
    [[nodiscard]] bool Dtr() const override { return dtr_; }
    void Send(std::string_view) override {}
    [[nodiscard]] bool SendPending() const override { return false; }
    [[nodiscard]] std::uint32_t OutQueueBytes() const override { return 0; }

private:
    std::uint32_t baudRate_ = 9600;
    bool open_ = false;
    bool dtr_ = true;
};

} // namespace lum::lumd
