// The plug-in's start-up on virtual time: the settings file loaded and applied, the display
// start sequence's byte timeline, the switch-off, and the first run, the load error and the
// font check.
#include "common/LumError.h"
#include "host/HostMessages.h"
#include "settings/SettingsFile.h"
#include "support/PluginHarness.h"

#include <functional>

namespace lum::test {
namespace {

using platform::MessageKind;

// The start values with the display switched on.
Settings DisplayOn() {
    Settings settings;
    settings.DisplayOff = false;
    settings.MainWindowMinimized = false;
    return settings;
}

class StartUpTest : public PluginTest {
protected:
    void SetUp() override {
        host.PlayState = 1;
        host.PositionMs = 65'000;
        host.Title = "Song";
    }

    // The modem line functions called, in order (SETDTR 5, CLRDTR 6, SETRTS 3, CLRRTS 4).
    [[nodiscard]] std::vector<std::uint64_t> LineFunctions() const {
        std::vector<std::uint64_t> functions;
        for (const auto& call : comm.Calls()) {
            if (call.Name == "EscapeCommFunction") {
                functions.push_back(call.Args.at(0));
            }
        }
        return functions;
    }
};

TEST_F(StartUpTest, DisplayStartSequenceTimeline) {
    WriteSettings(DisplayOn());
    Load();
    Advance(5'600);
    std::vector<LineWrite> expected = {{1005, "\x14"}, {1255, "\r\n"}};
    // Banner frames while Timer7 runs (1255 to 5255), then the templates.
    for (std::uint64_t at = 1555; at < 5255; at += 300) {
        expected.push_back({at, kBanner});
    }
    expected.push_back({5455, Frame({"Song", "PLAY           01:05"})});
    EXPECT_EQ(Writes(), expected);
    EXPECT_EQ(OpenedDevices(), std::vector<std::string>{"\\\\.\\COM1"});
    EXPECT_EQ(comm.Dcb().BaudRate, 9600u);
    EXPECT_EQ(Control("MainForm", "Panel7").Text(), "VFD off");
    EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(StartUpTest, LoadedValuesAreAppliedAsRead) {
    struct Case {
        const char* Name;
        std::function<void(Settings&)> Change;
        const char* Device;
        std::uint32_t Baud;
        std::int32_t StoredComPort;
    };
    const Case cases[] = {
        {"start values", [](Settings&) {}, "\\\\.\\COM1", 9600, 1},
        {"COM7", [](Settings& s) { s.ComPort = 7; }, "\\\\.\\COM7", 9600, 7},
        {"COM9", [](Settings& s) { s.ComPort = 9; }, "\\\\.\\COM9", 9600, 9},
        {"ComPort 0 keeps COM1", [](Settings& s) { s.ComPort = 0; }, "\\\\.\\COM1", 9600, 1},
        {"ComPort 10 keeps COM1", [](Settings& s) { s.ComPort = 10; }, "\\\\.\\COM1", 9600, 9},
        {"4800 baud", [](Settings& s) { s.BaudRateIndex = 1; }, "\\\\.\\COM1", 4800, 1},
        {"19200 baud", [](Settings& s) { s.BaudRateIndex = 4; }, "\\\\.\\COM1", 19200, 1},
        {"unknown rate keeps 9600", [](Settings& s) { s.BaudRateIndex = 9; }, "\\\\.\\COM1", 9600,
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Settings settings = DisplayOn();
        c.Change(settings);
        WriteSettings(settings);
        comm.ClearCalls();
        Load();
        Advance(10);
        EXPECT_EQ(OpenedDevices(), std::vector<std::string>{c.Device});
        EXPECT_EQ(comm.Dcb().BaudRate, c.Baud);
        EXPECT_EQ(comm.Dcb().ByteSize, 8);
        EXPECT_EQ(Values().ComPort, c.StoredComPort);
        EXPECT_EQ(Control("configform", "SpinEdit1").Text(), std::to_string(c.StoredComPort));
        Unload();
    }
}

TEST_F(StartUpTest, InitCommandBytes) {
    struct Case {
        const char* InitCommand;
        std::vector<LineWrite> FirstWrites;
        std::vector<std::string> Messages;
    };
    const Case cases[] = {
        {"20", {{1005, "\x14"}, {1255, "\r\n"}}, {}},
        {"", {{1255, "\r\n"}, {1555, kBanner}}, {}},
        {"300", {{1005, "\x2C"}, {1255, "\r\n"}}, {}},
        {"-1", {{1005, "\xFF"}, {1255, "\r\n"}}, {}},
        // No CR LF and no refresh follow a text that is no number.
        {"abc", {}, {"'abc' ist kein g\xFCltiger Integerwert."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.InitCommand);
        Settings settings = DisplayOn();
        settings.InitCommand = c.InitCommand;
        WriteSettings(settings);
        comm.ClearCalls();
        const std::size_t before = comm.Writes().size();
        const std::size_t messagesBefore = ui.Messages().size();
        const std::uint64_t start = loop.Now();
        Load();
        Advance(3'000);
        std::vector<LineWrite> writes = Writes();
        writes.erase(writes.begin(), writes.begin() + static_cast<std::ptrdiff_t>(before));
        for (LineWrite& write : writes) {
            write.At -= start;
        }
        if (c.FirstWrites.empty()) {
            EXPECT_TRUE(writes.empty());
        } else {
            ASSERT_GE(writes.size(), c.FirstWrites.size());
            writes.resize(c.FirstWrites.size());
            EXPECT_EQ(writes, c.FirstWrites);
        }
        std::vector<std::string> messages = MessageTexts();
        messages.erase(messages.begin(),
                       messages.begin() + static_cast<std::ptrdiff_t>(messagesBefore));
        EXPECT_EQ(messages, c.Messages);
        Unload();
    }
}

TEST_F(StartUpTest, UpdateIntervalZeroSendsNothingAfterTheLineFeed) {
    Settings settings = DisplayOn();
    settings.UpdateInterval = 0;
    WriteSettings(settings);
    Load();
    Advance(10'000);
    EXPECT_EQ(Writes(), (std::vector<LineWrite>{{1005, "\x14"}, {1255, "\r\n"}}));
    EXPECT_EQ(Values().UpdateInterval, 1) << "stored clamped";
}

TEST_F(StartUpTest, DisplayOffLowersDtrAndWritesOneBlankFrame) {
    WriteSettings(Settings{}); // DisplayOff is on in the start values
    Load();
    Advance(5'000);
    EXPECT_EQ(Writes(), (std::vector<LineWrite>{{5, Blanks(20, 2)}}));
    EXPECT_EQ(LineFunctions(), (std::vector<std::uint64_t>{5, 3, 6})) << "SETDTR, SETRTS, CLRDTR";
    EXPECT_EQ(Control("MainForm", "Panel7").Text(), "VFD on");
    EXPECT_TRUE(Form("MainForm").Minimized());
}

TEST_F(StartUpTest, FirstRunShowsTheMessageThenTheDialogThenTheFontCheck) {
    ui.SetFontFamilies({"Arial"});
    Load();
    Advance(3'000);
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{std::string(messages::kFirstRun),
                                                        std::string(messages::kFontMissing)}));
    EXPECT_EQ(ui.Messages().at(0).Kind, MessageKind::Information);
    EXPECT_TRUE(Form("configform").Visible());
    EXPECT_EQ(Control("configform", "PageControl1").ItemIndex(), 1) << "Text Konfiguration";
    EXPECT_TRUE(Form("MainForm").Visible());
    EXPECT_FALSE(Form("MainForm").Minimized());
    EXPECT_TRUE(OpenedDevices().empty()) << "the port stays closed";
    EXPECT_EQ(Control("MainForm", "Panel7").Text(), "VFD off");
}

TEST_F(StartUpTest, LoadErrorShowsItsMessageAndAppliesNothing) {
    ui.SetFontFamilies({}); // the font check does not run either
    std::vector<std::uint8_t> cut = EncodeSettings(DisplayOn());
    cut.resize(40);
    WriteSettingsBytes(cut);
    Load();
    Advance(3'000);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Stream-Read-Fehler."});
    EXPECT_EQ(ui.Messages().at(0).Kind, MessageKind::Error);
    EXPECT_TRUE(OpenedDevices().empty());
    EXPECT_EQ(Values(), Settings{});
    EXPECT_FALSE(Form("configform").Visible());
}

TEST_F(StartUpTest, LoadedRotationRunsWithCarriedOffsets) {
    host.Title = "A title much longer than the twenty columns";
    Settings settings = DisplayOn();
    settings.SetChangeSeconds = 5;
    settings.SetCount = 2;
    settings.Slot(1, 1).ScrollMode = kScrollLeft;
    settings.Slot(2, 1) = settings.Slot(1, 1); // the same template: its offset carries over
    WriteSettings(settings);
    Load();
    Advance(5'004);
    EXPECT_EQ(Shown().ActiveSet, 1);
    const std::int32_t offset = Shown().ScrollOffset(1, 1);
    EXPECT_GT(offset, 0) << "line 1 scrolls";
    Advance(1);
    EXPECT_EQ(Shown().ActiveSet, 2);
    EXPECT_EQ(Control("configform", "SpinEdit7").Text(), "2");
    EXPECT_EQ(Shown().ScrollOffset(2, 1), offset);
    Advance(5'000);
    EXPECT_EQ(Shown().ActiveSet, 1);
}

} // namespace
} // namespace lum::test
