#pragma once
// What a test of the driver alone needs around it: a line that records each write with its
// virtual time (and can be stuck: a write that never ends), and the driver's host with its
// timers on a headless form of virtual time.

#include "driver/DisplayDriver.h"
#include "support/PluginHarness.h"

#include <array>

namespace lum::test {

/// A line that records each write with its time and can be stuck (a write that never ends).
class RecordingLine final : public DisplayLine {
public:
    RecordingLine(platform::virtualtime::VirtualUiLoop& loop, std::vector<LineWrite>& writes)
        : loop_(loop), writes_(writes) {}

    void SetPort(std::int32_t) override {}
    void SetBaudRate(std::uint32_t rate) override { rate_ = rate; }
    [[nodiscard]] std::uint32_t BaudRate() const override { return rate_; }
    void SetFrame8N1() override {}
    void SetOpen(bool open) override { open_ = dtr_ = open; }
    [[nodiscard]] bool IsOpen() const override { return open_; }
    void SetDtr(bool on) override { dtr_ = open_ && on; }
    [[nodiscard]] bool Dtr() const override { return dtr_; }
    void Send(std::string_view text) override {
        if (open_ && !text.empty()) {
            writes_.push_back({loop_.Now(), std::string(text)});
        }
    }
    [[nodiscard]] bool SendPending() const override { return Stuck; }
    [[nodiscard]] std::uint32_t OutQueueBytes() const override { return Stuck ? 1 : 0; }

    bool Stuck = false;

private:
    platform::virtualtime::VirtualUiLoop& loop_;
    std::vector<LineWrite>& writes_;
    std::uint32_t rate_ = 9600;
    bool open_ = false;
    bool dtr_ = true;
};

/// The driver's host: its timers on a headless form of virtual time.
class FormHost final : public DriverHost {
public:
    explicit FormHost(platform::headless::HeadlessUi& ui)
        : ui_(ui), form_(ui.CreateForm({.Name = "DriverForm", .Caption = "driver"})) {}

    [[nodiscard]] platform::Timer& Timer(DriverTimer role) override {
        platform::Timer*& timer = timers_.at(static_cast<std::size_t>(role));
        if (timer == nullptr) {
            timer = &form_->AddTimer("Timer" + std::to_string(static_cast<int>(role)), 0, false);
        }
        return *timer;
    }
    bool WaitUntil(const std::function<bool()>& done, std::uint32_t timeoutMs) override {
        return ui_.ServeCallsUntil(done, timeoutMs);
    }

private:
    platform::headless::HeadlessUi& ui_;
    std::unique_ptr<platform::Form> form_;
    std::array<platform::Timer*, static_cast<std::size_t>(DriverTimer::Count)> timers_{};
};

} // namespace lum::test
