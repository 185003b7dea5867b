// Each display protocol through lumd on a pty with a real MPD, read as the display shows it (the
// virtual display's model): the start, the title and the state, a track change within one
// refresh interval and 100 ms, the brightness, and the blank at the quit.
#include "CaseName.h"
#include "LumdBed.h"
#include "MpdServer.h"
#include "TestMusic.h"
#include "display/DisplayEngine.h"

#include <gtest/gtest.h>

namespace lum::lumd::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

/// A screen whose line `line` (0-based) starts with `text`.
ScreenTest ScreenLineStarts(std::size_t line, const std::string& text) {
    return [line, text](const ScreenShot& shot) {
        return line < shot.Lines.size() && shot.Lines[line].starts_with(text);
    };
}

struct ProtocolCase {
    const char* Name;
    int Width = kTestWidth; ///< the line width of the settings
};

class LumdProtocols : public ::testing::TestWithParam<ProtocolCase> {};

TEST_P(LumdProtocols, ShowPlayerOnTheScreen) {
    if (const std::string missing = MissingPrograms(MpdServer::Programs()); !missing.empty()) {
        GTEST_SKIP() << "missing: " << missing;
    }
    MpdServer server;
    server.PlayStandardTracks();
    LumdBed bed;
    Settings settings = TestSettings();
    settings.LineWidth = GetParam().Width;
    bed.WriteSettings(settings);
    const auto title = [&](std::size_t track) {
        return DisplayTitle(StandardTracks()[track]).substr(0, settings.LineWidth);
    };
    DisplayLine& line = bed.Line();
    LumdProcess& lumd = bed.Start({"--mpd", server.Socket(), "--protocol", GetParam().Name});

    const auto banner = line.WaitForScreen(0, ScreenLineStarts(0, std::string(kBannerLine1)), 8s);
    ASSERT_TRUE(banner) << lumd.Output();
    const auto first = line.WaitForScreen(banner->Index, ScreenLineStarts(0, title(0)), 6s);
    ASSERT_TRUE(first) << lumd.Output();
    EXPECT_TRUE(first->Lines[1].starts_with("PLAY ")) << first->Lines[1];
    EXPECT_EQ(first->Brightness, 0) << "the brightest after the start";

    const std::size_t changed = line.ScreenMark();
    const auto nextAt = Clock::now();
    server.Mpc({"next"});
    const auto second = line.WaitForScreen(changed, ScreenLineStarts(0, title(1)), 2s);
    ASSERT_TRUE(second) << lumd.Output();
    EXPECT_LT(second->At - nextAt, 400ms) << "one refresh interval and 100 ms";

    lumd.Send("brightness 2");
    EXPECT_TRUE(line.WaitForScreen(
        second->Index, [](const ScreenShot& shot) { return shot.Brightness == 2; }, 2s))
        << "step 2 of 4";

    const std::size_t quit = line.ScreenMark();
    lumd.Send("quit");
    EXPECT_EQ(lumd.WaitForExit(5s), 0) << lumd.Output();
    const std::vector<std::string> blank(kTestLines, std::string(kTestWidth, ' '));
    EXPECT_TRUE(line.WaitForScreen(
        quit, [&blank](const ScreenShot& shot) { return shot.Lines == blank; }, 1s))
        << "the display blank after the quit";
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Protocols, LumdProtocols, ::testing::Values(
    ProtocolCase{"plain"},
    ProtocolCase{"cr"},
    ProtocolCase{"ba63", 20}, // its 2 x 20: its clear blanks 20 cells a line
    ProtocolCase{"escpos"},
    ProtocolCase{"cd5220"}),
    CaseName());
// clang-format on

} // namespace
} // namespace lum::lumd::testing
