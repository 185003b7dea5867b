// The configuration dialog: its fields are the settings, "OK" saves and applies in its order,
// "Abbrechen" only hides, the preview shows the active set's lines as the display would, and the
// check boxes follow the live state after every showing.
#include "platform/Files.h"
#include "settings/SettingsFile.h"
#include "support/PluginHarness.h"
#include "ui/config/ConfigForm.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace lum::test {
namespace {

class ConfigFormTest : public PluginTest {
protected:
    // A first run: the dialog opens and, 10 ms later, takes the live state: the port that was
    // never opened reads DTR high, so "VFD abgeschaltet" is not ticked.
    void SetUp() override {
        host.PlayState = 1;
        host.Title = "Song";
        record_ = &Load();
        Advance(100);
    }

    void Type(const char* control, std::string_view text) {
        ui.Type(Control("configform", control), text);
    }

    [[nodiscard]] std::string SettingsPath() const {
        return SettingsFilePath(platform::HostDirectory());
    }

    PluginRecord* record_ = nullptr;
};

TEST_F(ConfigFormTest, EditsChangeTheSettingsAtOnce) {
    struct Case {
        const char* Control;
        const char* Typed;
        std::function<std::string()> Field;
        std::string Stored;
    };
    Settings& s = Values();
    const Case cases[] = {
        {"SpinEdit2", "40", [&] { return std::to_string(s.LineWidth); }, "40"},
        {"SpinEdit2", "100", [&] { return std::to_string(s.LineWidth); }, "80"},
        {"SpinEdit2", "abc", [&] { return std::to_string(s.LineWidth); }, "8"},
        {"SpinEdit3", "-5", [&] { return std::to_string(s.UpdateInterval); }, "1"},
        {"Edit1", " | ", [&] { return s.Separator; }, " | "},
        {"Edit10", "abc", [&] { return s.InitCommand; }, "abc"},
        {"Edit11", "%zeits", [&] { return s.Slot(2, 1).Template; }, "%zeits"},
        {"ComboBox9", "Links", [&] { return std::to_string(s.Slot(2, 1).ScrollMode); }, "-1"},
        {"Baudrate", "19200", [&] { return std::to_string(s.BaudRateIndex); }, "-1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Control) + " := " + c.Typed);
        Type(c.Control, c.Typed);
        EXPECT_EQ(c.Field(), c.Stored);
    }
    ui.Select(Control("configform", "ComboBox9"), 2);
    EXPECT_EQ(s.Slot(2, 1).ScrollMode, 2);
    EXPECT_EQ(Control("configform", "ComboBox9").Text(), "Rechts");
    Click("configform", "CheckBox6");
    EXPECT_FALSE(s.ReplaceUmlauts);
    Click("configform", "Label9");
    EXPECT_FALSE(s.ReplaceUmlauts) << "the caption label does not toggle";
}

TEST_F(ConfigFormTest, Ba63ModeGreysTheGeometryAndKeepsItsValues) {
    Type("SpinEdit2", "40");
    Click("configform", "CheckBox5");
    EXPECT_FALSE(Control("configform", "SpinEdit2").Enabled());
    EXPECT_FALSE(Control("configform", "SpinEdit4").Enabled());
    EXPECT_EQ(Values().LineWidth, 40);
    Click("configform", "CheckBox5");
    EXPECT_TRUE(Control("configform", "SpinEdit2").Enabled());
    EXPECT_EQ(Control("configform", "SpinEdit2").Text(), "40");
}

TEST_F(ConfigFormTest, OkSavesAndStartsTheDisplay) {
    Type("SpinEdit1", "7");
    Type("Edit2", "%status");
    ASSERT_FALSE(Control("configform", "CheckBox2").Checked());
    const std::uint64_t ok = loop.Now();
    Click("configform", "Panel2");
    EXPECT_FALSE(Form("configform").Visible());
    EXPECT_EQ(OpenedDevices(), std::vector<std::string>{"\\\\.\\COM7"});
    EXPECT_EQ(comm.Dcb().BaudRate, 9600u) << "the text 9600 with no entry selected";
    Advance(1'600);
    const std::string frame = Frame({"PLAY", "PLAY           00:00"});
    const std::string banner = kBanner;
    EXPECT_EQ(Writes(), (std::vector<LineWrite>{{ok, "\r\n"},
                                                {ok, "\x14"},
                                                {ok + 300, frame},
                                                {ok + 600, frame},
                                                {ok + 900, frame},
                                                {ok + 1'000, "\x14"},
                                                {ok + 1'200, frame},
                                                {ok + 1'250, "\r\n"},
                                                {ok + 1'500, banner}}));
    const std::optional<Settings> saved = LoadSettingsFile(SettingsPath());
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->ComPort, 7);
    EXPECT_EQ(saved->Slot(1, 1).Template, "%status");
    EXPECT_FALSE(saved->DisplayOff);
    EXPECT_EQ(saved->BaudRateIndex, -1);
}

TEST_F(ConfigFormTest, OkWithTheDisplayOffAndInBa63Mode) {
    Click("configform", "CheckBox5"); // BA63 mode
    Click("configform", "CheckBox2"); // the display off
    const std::uint64_t ok = loop.Now();
    Click("configform", "Panel2");
    Advance(2'000);
    EXPECT_EQ(Writes(), (std::vector<LineWrite>{
                            {ok, "\x1b[1;1H                    \n\r                    "}}))
        << "no clear frame after the BA63 text";
    EXPECT_EQ(Control("MainForm", "Panel7").Text(), "VFD on");
}

// "OK" with the display off cancels a start sequence that an earlier "OK" left pending, as the
// main window's switch-off does: nothing but the dialog's own CR LF follows it.
TEST_F(ConfigFormTest, OkWithTheDisplayOffDuringTheStartSequenceCancelsIt) {
    Click("configform", "Panel2");
    ASSERT_EQ(Control("MainForm", "Panel7").Text(), "VFD off");
    Advance(400);
    record_->config();
    Advance(20); // the check boxes take the live state first
    Click("configform", "CheckBox2");
    const std::uint64_t secondOk = loop.Now();
    Click("configform", "Panel2");
    Advance(6'000);
    const std::vector<LineWrite> writes = Writes();
    const std::vector<LineWrite> after(
        std::find_if(writes.begin(), writes.end(),
                     [secondOk](const LineWrite& write) { return write.At >= secondOk; }),
        writes.end());
    EXPECT_EQ(after, (std::vector<LineWrite>{{secondOk, "\r\n"}}));
    EXPECT_EQ(Control("MainForm", "Panel7").Text(), "VFD on");
}

TEST_F(ConfigFormTest, OkInitCommandEmptyOrNoNumber) {
    struct Case {
        const char* InitCommand;
        std::size_t Messages;
    };
    const Case cases[] = {{"", 0}, {"abc", 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.InitCommand);
        record_->config();
        Advance(6'000); // the sync, and any earlier banner period is over
        Type("Edit10", c.InitCommand);
        const std::size_t before = Writes().size();
        const std::size_t messages = ui.Messages().size();
        Click("configform", "Panel2");
        Advance(1'100);
        std::vector<std::string> sent;
        for (std::size_t i = before; i < Writes().size(); ++i) {
            sent.push_back(Writes()[i].Bytes);
        }
        ASSERT_GE(sent.size(), 2u);
        EXPECT_EQ(sent[0], "\r\n");
        EXPECT_EQ(sent[1], Frame({"Song", "PLAY           00:00"})) << "the refresh runs";
        EXPECT_EQ(std::count(sent.begin(), sent.end(), "\x14"), 0) << "no initialisation byte";
        EXPECT_EQ(ui.Messages().size() - messages, c.Messages);
        EXPECT_TRUE(std::filesystem::exists(SettingsPath())) << "saved first";
        EXPECT_EQ(Control("MainForm", "Panel7").Text(), "VFD off");
    }
    EXPECT_EQ(MessageTexts().back(), "'abc' ist kein g\xFCltiger Integerwert.");
}

TEST_F(ConfigFormTest, FailedSaveKeepsTheDialogOpenAndAppliesNothing) {
    std::ofstream(SettingsPath()) << "old";
    std::filesystem::permissions(SettingsPath(), std::filesystem::perms::none);
    Type("Edit2", "%zeit");
    const std::size_t messages = ui.Messages().size();
    Click("configform", "Panel2");
    std::filesystem::permissions(SettingsPath(), std::filesystem::perms::owner_all);
    ASSERT_EQ(ui.Messages().size(), messages + 1);
    EXPECT_EQ(MessageTexts().back(), "Datei " + SettingsPath() + " kann nicht erstellt werden.");
    EXPECT_TRUE(Form("configform").Visible());
    EXPECT_EQ(Control("configform", "Edit2").Text(), "%zeit");
    EXPECT_TRUE(OpenedDevices().empty());
    std::ifstream file(SettingsPath());
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), "old");
}

TEST_F(ConfigFormTest, AbbrechenHidesAndKeepsTheEdits) {
    Type("Edit2", "%zeit");
    Click("configform", "Panel1");
    EXPECT_FALSE(Form("configform").Visible());
    EXPECT_EQ(Values().Slot(1, 1).Template, "%zeit");
    EXPECT_FALSE(std::filesystem::exists(SettingsPath()));
    EXPECT_TRUE(OpenedDevices().empty());
}

TEST_F(ConfigFormTest, PreviewShowsTheLinesWithoutMovingThem) {
    Settings& s = Values();
    s.Slot(1, 1).Template = "12345678";                    // 8 characters
    s.Slot(1, 2).Template = std::string(26, 'a') + "BCDE"; // 30 characters
    Shown().ScrollOffset(1, 2) = 32;
    s.Slot(1, 3).Template = std::string(40, 'x'); // line 3 still at offset 0
    Shown().ScrollOffset(1, 1) = 99;
    Click("configform", "Button1");
    EXPECT_EQ(Control("configform", "Label11").Text(), "Ein");
    Advance(100);
    const std::string scroll = std::string(26, 'a') + "BCDE ** ";
    EXPECT_EQ(Control("configform", "Label12").Text(), "8");
    EXPECT_EQ(Control("configform", "Panel4").Text(), "12345678            ");
    EXPECT_EQ(Control("configform", "Label13").Text(), "20");
    EXPECT_EQ(Control("configform", "Panel5").Text(), scroll.substr(32) + scroll.substr(0, 18));
    EXPECT_EQ(Control("configform", "Label19").Text(), "0");
    EXPECT_EQ(Shown().ScrollOffset(1, 2), 32) << "the preview moves nothing";

    Shown().ActiveSet = 5; // as the rotation leaves it for an instant
    Advance(100);
    EXPECT_EQ(Control("configform", "Label13").Text(), "0");
    EXPECT_EQ(Control("configform", "Panel5").Text(), std::string(20, ' '));
    Click("configform", "Button1");
    EXPECT_EQ(Control("configform", "Label11").Text(), "Aus");
}

TEST_F(ConfigFormTest, PreviewOfALongLineOneAtItsStartOffset) {
    Settings& s = Values();
    s.Slot(1, 1).Template = std::string(60, 'y'); // scroll text of 64, doubled 128
    Click("configform", "Button1");
    Advance(100);
    const std::string doubled = std::string(60, 'y') + " ** " + std::string(60, 'y') + " ** ";
    EXPECT_EQ(Control("configform", "Panel4").Text(), doubled.substr(99, 20));
}

// "Set alle ... Sekunden wechseln" runs the set rotation at once; "Jetzt Aktiv:" sets what the
// display shows, where 5 (no set) stays only while the rotation runs.
TEST_F(ConfigFormTest, SetFieldsDriveTheRotationAndTheShownSet) {
    struct Case {
        const char* Seconds;
        const char* Active;
        std::int32_t Shown; ///< the set shown at once
        std::uint64_t Wait; ///< ms waited
        std::int32_t After; ///< the set shown then
    };
    const Case cases[] = {
        {"0", "5", 4, 3'000, 4},
        {"2", "5", 5, 2'000, 1},
        {"1", "1", 1, 1'000, 2},
    };
    Type("SpinEdit6", "2");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Seconds) + " s, set " + c.Active);
        Type("SpinEdit5", c.Seconds);
        Type("SpinEdit7", c.Active);
        EXPECT_EQ(Shown().ActiveSet, c.Shown);
        EXPECT_EQ(Control("configform", "SpinEdit7").Text(), std::to_string(c.Shown));
        Advance(c.Wait);
        EXPECT_EQ(Shown().ActiveSet, c.After);
        EXPECT_EQ(Control("configform", "SpinEdit7").Text(), std::to_string(c.After));
    }
}

TEST_F(ConfigFormTest, SyncAfterShowingTakesTheLiveState) {
    EXPECT_FALSE(Control("configform", "CheckBox3").Checked()) << "synced after the first showing";
    Click("configform", "Panel1");
    Click("MainForm", "Panel8"); // minimise
    record_->config();
    EXPECT_FALSE(Control("configform", "CheckBox3").Checked());
    Advance(10);
    EXPECT_TRUE(Control("configform", "CheckBox3").Checked());
    EXPECT_TRUE(Values().MainWindowMinimized);
    EXPECT_TRUE(Control("configform", "CheckBox1").Checked());
    EXPECT_FALSE(Control("configform", "CheckBox2").Checked());
}

} // namespace
} // namespace lum::test
