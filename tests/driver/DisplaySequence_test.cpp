// The display's on and off sequences from the main window's button and the splash window, and
// quit, which clears the display before the serial port goes.
#include "platform/Files.h"
#include "plugin/PluginLife.h"
#include "support/PluginHarness.h"
#include "ui/main/MainForm.h"

#include <algorithm>
#include <filesystem>

namespace lum::test {
namespace {

const std::string kBlank = Blanks(20, 2);

class DisplaySequenceTest : public PluginTest {
protected:
    void SetUp() override {
        host.Title = "Song";
        Settings settings;
        settings.DisplayOff = false;
        WriteSettings(settings);
    }

    [[nodiscard]] std::vector<LineWrite> WritesFrom(std::uint64_t at) const {
        std::vector<LineWrite> writes = Writes();
        std::erase_if(writes, [at](const LineWrite& write) { return write.At < at; });
        return writes;
    }
};

TEST_F(DisplaySequenceTest, SwitchOffDuringTheStartSequenceCancelsIt) {
    Load();
    Advance(500);
    Click("MainForm", "Panel7");
    Advance(5'000);
    EXPECT_EQ(Writes(), (std::vector<LineWrite>{{500, kBlank}}));
    EXPECT_EQ(Control("MainForm", "Panel7").Text(), "VFD on");
    EXPECT_EQ(*Control("MainForm", "Panel7").Color(), 0x5D5D5Du);
}

TEST_F(DisplaySequenceTest, TheButtonSwitchesOffAndOnAgain) {
    Load();
    Advance(6'000);
    Click("MainForm", "Panel7");
    Advance(1'000);
    EXPECT_EQ(WritesFrom(6'000), (std::vector<LineWrite>{{6'000, kBlank}}));
    Click("MainForm", "Panel7");
    EXPECT_EQ(Control("MainForm", "Panel7").Text(), "VFD off");
    EXPECT_EQ(*Control("MainForm", "Panel7").Color(), 0x5DAA5Du);
    Advance(1'600);
    EXPECT_EQ(WritesFrom(7'000),
              (std::vector<LineWrite>{{8'000, "\x14"}, {8'250, "\r\n"}, {8'550, kBanner}}));
}

TEST_F(DisplaySequenceTest, ThePortNeverOpenedKeepsSwitchingOff) {
    std::filesystem::remove(std::filesystem::path(platform::HostDirectory()) / "plugins" /
                            "gen_lum.ini");
    Load();
    Advance(100);
    for (int click = 0; click < 2; ++click) {
        Click("MainForm", "Panel7");
        EXPECT_EQ(Control("MainForm", "Panel7").Text(), "VFD on");
    }
    Advance(3'000);
    EXPECT_TRUE(Writes().empty()) << "every send fails on the closed port";
}

TEST_F(DisplaySequenceTest, SplashClick) {
    struct Case {
        const char* Name;
        std::uint64_t ClickAt;
        std::uint64_t FrameAt;
        std::string Sent; ///< the frame sent at FrameAt
    };
    const Case cases[] = {
        {"before the banner period: the banner still runs", 500, 1'555, kBanner},
        {"during the banner period: it ends at once", 2'000, 2'155,
         Frame({"Song", "STOP           00:00"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::uint64_t start = loop.Now();
        Load();
        Advance(c.ClickAt);
        Click("Form1", "Image1");
        EXPECT_FALSE(Form("Form1").Visible());
        Advance(c.FrameAt - c.ClickAt);
        ASSERT_FALSE(WritesFrom(start + c.FrameAt).empty());
        EXPECT_EQ(WritesFrom(start + c.FrameAt).front(), (LineWrite{start + c.FrameAt, c.Sent}));
        Unload();
    }
}

TEST_F(DisplaySequenceTest, SplashHidesAfterTenSeconds) {
    Load();
    EXPECT_TRUE(Form("Form1").Visible());
    EXPECT_TRUE(Form("Form1").TopMost());
    Advance(9'999);
    EXPECT_TRUE(Form("Form1").Visible());
    Advance(1);
    EXPECT_FALSE(Form("Form1").Visible());
}

TEST_F(DisplaySequenceTest, QuitWaitsForThePendingFrameThenClearsAndReleasesThePort) {
    comm.SetWriteCompletion(platform::virtualtime::FakeComm::Completion::WireTime);
    PluginRecord& record = Load();
    Advance(6'010); // the frame of 6055 is still on the wire
    Advance(50);
    ASSERT_TRUE(comm.WritePending());
    record.quit();
    const std::vector<LineWrite> writes = Writes();
    ASSERT_GE(writes.size(), 2u);
    EXPECT_EQ(writes.back().Bytes, kBlank);
    EXPECT_NE(writes[writes.size() - 2].Bytes, kBlank) << "the pending frame was not cut off";
    EXPECT_EQ(LoadedPlugin()->SerialPort(), nullptr);
    const std::vector<std::string> calls = comm.UiCallNames();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "CloseHandle"), calls.end());
    Advance(5'000);
    EXPECT_EQ(Writes().size(), writes.size()) << "no tick reaches the released port";
    Click("MainForm", "Panel7");
    Click("MainForm", "Panel9");
    Advance(2'000);
    EXPECT_EQ(Writes().size(), writes.size());
}

TEST_F(DisplaySequenceTest, BrightnessBytesGoOutWhateverTheDisplayState) {
    Load();
    Advance(100);
    const char* buttons[] = {"Panel9", "Panel10", "Panel11", "Panel12"};
    std::string sent;
    for (const char* button : buttons) {
        Click("MainForm", button);
        sent += Writes().back().Bytes;
    }
    EXPECT_EQ(sent, "\x04\x03\x02\x01");
}

struct QuitBoundCase {
    int Width;
    int Lines;
    std::int32_t BaudRateIndex; ///< 0: 2400, 2: 9600, 4: 19200 baud
    std::uint64_t WireTime;     ///< ms the largest write takes
    friend void PrintTo(const QuitBoundCase& c, std::ostream* out) { *out << c.WireTime << " ms"; }
};

class QuitOnALineThatNeverDrains : public PluginTest,
                                   public ::testing::WithParamInterface<QuitBoundCase> {};

// A write that never ends and a queue that never empties: each of quit's three waits gives up
// after the largest write's time on the wire and 500 ms, and the port starts closing 150 ms on.
TEST_P(QuitOnALineThatNeverDrains, GivesUpAfterItsBoundedWaits) {
    Settings settings;
    settings.DisplayOff = false;
    settings.LineWidth = GetParam().Width;
    settings.LineCount = GetParam().Lines;
    settings.BaudRateIndex = GetParam().BaudRateIndex;
    WriteSettings(settings);
    PluginRecord& record = Load();
    Advance(6'000);
    comm.SetWriteCompletion(platform::virtualtime::FakeComm::Completion::Pending);
    comm.SetOutQueue(1);
    Advance(1'000);
    ASSERT_TRUE(comm.WritePending());
    const std::uint64_t start = loop.Now();
    std::uint64_t closing = 0;
    comm.OnNextCall("SetCommMask", [&] { closing = loop.Now(); });
    record.quit();
    EXPECT_EQ(closing - start, 3 * (GetParam().WireTime + 500) + 150);
}

INSTANTIATE_TEST_SUITE_P(Cases, QuitOnALineThatNeverDrains,
                         ::testing::Values(QuitBoundCase{16, 2, 2, 50},     // BA63 clear, 48 bytes
                                           QuitBoundCase{40, 2, 2, 92},     // BA63 frame, 88 bytes
                                           QuitBoundCase{40, 4, 0, 671},    // 4 x 40 and CR
                                           QuitBoundCase{100, 9, 4, 334})); // 8 x 80 at most

} // namespace
} // namespace lum::test
