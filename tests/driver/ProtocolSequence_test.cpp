// The driver's start sequence, switch-off, dialog "OK" and quit in each display protocol, on
// virtual time: the protocol changes the bytes of each step, never its time; quit's bounded
// waits follow the protocol's largest write.
#include "DriverBed.h"
#include "display/DisplayEngine.h"
#include "display/FrameOutput.h"
#include "display/ProtocolTable.h"
#include "driver/DisplayDriver.h"
#include "driver/SettingsApply.h"
#include "host/HostPlayer.h"
#include "support/PluginHarness.h"

namespace lum::test {
namespace {

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
