// The driver's start sequence, switch-off, dialog "OK" and quit in each display protocol, on
// virtual time: the protocol changes the bytes of each step, never its time; quit's bounded
// waits follow the protocol's largest write.
#include "display/DisplayEngine.h"
#include "display/FrameOutput.h"
#include "display/ProtocolTable.h"
#include "driver/DisplayDriver.h"
#include "driver/SettingsApply.h"
#include "host/HostPlayer.h"
#include "support/PluginHarness.h"

#include <array>

namespace lum::test {
namespace {

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

TEST(ProtocolSequence, EachStepAtItsTimeInTheProtocolsBytes) {
    const std::string blank(80, ' ');
    const std::string ba63Clear = "\x1B[1;1H" + std::string(20, ' ') + "\n\r" + blank.substr(60);
    const std::string escPosStart = std::string("\x1B@\x1F\x01\x1F"
                                                "C\0\x1Bt\0\x1BR\0",
                                                13);
    const std::string cd5220Start = std::string("\x1B@\x1B\x11\x1B_\0", 7);
    struct Case {
        const char* Protocol;
        std::string Initialise, LineFeed, Clear, DialogOk;
        std::uint64_t QuitMs; ///< quit on a stuck line at 9600 baud: 3 x (wire time + 500) + 150
    };
    const Case cases[] = {
        {"plain", "\x14", "\r\n", blank, "\r\n", 1905},       // 81 bytes: 85 ms
        {"cr", "\x14", "\r\n", blank + "\r", "\r\n", 1905},   // plain with CR
        {"ba63", "\x14", "\r\n", ba63Clear, ba63Clear, 1905}, // as the plug-in's kinds
        {"escpos", escPosStart, "", "\x0C", "", 1950},        // 4 x 24 bytes: 100 ms
        {"cd5220", cd5220Start, "", "\x0C", "", 1950},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Protocol);
        platform::virtualtime::VirtualUiLoop loop;
        platform::headless::HeadlessUi ui(loop);
        FormHost host(ui);
        host::FixedHost player;
        HostPlayer nowPlaying(player.Messenger());
        std::vector<LineWrite> writes;
        auto owned = std::make_unique<RecordingLine>(loop, writes);
        RecordingLine& line = *owned;
        Settings settings;
        settings.DisplayOff = false;
        settings.LineCount = 4;
        DisplayDriver driver(host, std::move(owned), settings, nowPlaying,
                             MakeDisplayProtocol(c.Protocol, {}));
        SettingsApply apply(host, driver, settings);

        apply.Apply(settings, ApplyOccasion::StartUp, std::nullopt);
        loop.RunFor(1'600);
        driver.SwitchOff();
        apply.Apply(settings, ApplyOccasion::DialogOk, std::nullopt);
        line.Stuck = true;
        driver.Quit();

        const std::string banner = std::string(kBanner) + std::string(40, ' ');
        std::vector<LineWrite> expected = {
            {1'000, c.Initialise},
            {1'250, c.LineFeed},
            {1'550, MakeDisplayProtocol(c.Protocol, {})->Frame({banner, 20, 4})},
            {1'600, c.Clear},
            {1'600, c.DialogOk},
            {1'600, c.Initialise},
            {1'600 + (c.QuitMs - 150) / 3, c.Clear}};
        std::erase_if(expected, [](const LineWrite& write) { return write.Bytes.empty(); });
        EXPECT_EQ(writes, expected);
        EXPECT_EQ(loop.Now() - 1'600, c.QuitMs);
    }
}

} // namespace
} // namespace lum::test
