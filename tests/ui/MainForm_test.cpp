// The main window: the mirror of the host's title and position, the transport and set buttons,
// minimising, the configuration button and its keys.
#include "host/HostMessages.h"
#include "support/PluginHarness.h"
#include "ui/main/Mirror.h"

namespace lum::test {
namespace {

TEST(MirrorTitleStep, ShowsShortTitlesWholeAndScrollsLongOnes) {
    const std::string title40(40, 'a');
    const std::string title41 = "0123456789012345678901234567890123456789X";
    struct Step {
        std::string Title;
        std::string Separator;
        std::string Shown;
        std::int64_t OffsetAfter;
    };
    const std::vector<Step> steps = {
        {"", " ** ", "", 0},
        {title40, " ** ", title40, 0},
        {title41, " ** ", title41.substr(0, 40), 1},
        {title41, " ** ", title41.substr(1, 40), 2},
        // Another long title of the same length continues from the offset.
        {std::string(41, 'b'), " ** ", std::string(39, 'b') + " ** "[0], 3},
        // A long title of another length starts at its beginning.
        {std::string(50, 'c'), " ** ", std::string(40, 'c'), 1},
        {std::string(100, 'd'), " ** ", std::string(40, 'd'), 1},
    };
    MirrorState state;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.Title);
        EXPECT_EQ(MirrorTitleStep(step.Title, step.Separator, state), step.Shown);
        EXPECT_EQ(state.MirrorOffset, step.OffsetAfter);
    }
}

TEST(MirrorTitleStep, CyclesThroughTitleAndSeparator) {
    const std::string title(41, 'x');
    MirrorState state;
    for (int tick = 0; tick < 45; ++tick) {
        static_cast<void>(MirrorTitleStep(title, " ** ", state));
    }
    EXPECT_EQ(state.MirrorOffset, 0) << "45 positions with the default separator";
    for (int tick = 0; tick < 44; ++tick) {
        static_cast<void>(MirrorTitleStep(title, " ** ", state));
    }
    EXPECT_EQ(state.MirrorOffset, 44);
    // A shorter separator: the offset wraps at the next tick.
    static_cast<void>(MirrorTitleStep(title, "-", state));
    EXPECT_EQ(state.MirrorOffset, 0);
}

class MainFormTest : public PluginTest {};

TEST_F(MainFormTest, MirrorShowsTitleAndPositionWithUmlautsReplaced) {
    host.Title = "M\xE4"
                 "dchen \xDC"
                 "ber Stra\xDF"
                 "e";
    host.PositionMs = 207'000;
    Load();
    Values().ReplaceUmlauts = false;
    EXPECT_EQ(Control("MainForm", "Label1").Text(), "Titel");
    EXPECT_EQ(Control("MainForm", "Label2").Text(), "00:00");
    Advance(300);
    EXPECT_EQ(Control("MainForm", "Label1").Text(), "Maedchen Ueber Stra\xDF"
                                                    "e");
    EXPECT_EQ(Control("MainForm", "Label2").Text(), "03:27");
}

TEST_F(MainFormTest, TransportButtonsSendTheHostsCommands) {
    Load();
    for (const char* button : {"Panel2", "Panel3", "Panel4", "Panel5", "Panel6"}) {
        Click("MainForm", button);
    }
    EXPECT_EQ(host.Commands,
              (std::vector<std::uint16_t>{HOST_CMD_PREVIOUS, HOST_CMD_PLAY, HOST_CMD_PAUSE,
                                          HOST_CMD_STOP, HOST_CMD_NEXT}));
}

TEST_F(MainFormTest, SetButtons) {
    struct Case {
        const char* Button;
        std::int32_t ActiveSet;
        std::int32_t SetCount;
        std::int32_t After;
    };
    const Case cases[] = {
        {"Panel14", 1, 3, 2}, {"Panel14", 3, 3, 3}, {"Panel14", 4, 2, 2},
        {"Panel15", 1, 4, 1}, {"Panel15", 4, 2, 3}, {"Panel15", 5, 4, 4},
    };
    Load();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Button) + " from " + std::to_string(c.ActiveSet));
        Shown().ActiveSet = c.ActiveSet;
        Values().SetCount = c.SetCount;
        Click("MainForm", c.Button);
        EXPECT_EQ(Shown().ActiveSet, c.After);
        EXPECT_EQ(Control("configform", "SpinEdit7").Text(), std::to_string(c.After));
    }
}

TEST_F(MainFormTest, WindowButtonsAndKeys) {
    Load();
    Advance(10);
    platform::headless::HeadlessForm& main = Form("MainForm");
    Click("MainForm", "Panel8");
    EXPECT_TRUE(main.Minimized());
    Click("MainForm", "Panel13");
    EXPECT_TRUE(Form("configform").Visible());
    // Neither window has a close box: Alt+F4 is swallowed, every other key passes.
    for (const char* name : {"MainForm", "configform"}) {
        platform::headless::HeadlessForm& form = Form(name);
        EXPECT_EQ(ui.PressKey(form, platform::kKeyF4, {.Alt = true}), platform::kKeyNone) << name;
        EXPECT_EQ(ui.PressKey(form, platform::kKeyF4, {}), platform::kKeyF4) << name;
        EXPECT_EQ(ui.PressKey(form, 'X', {.Alt = true}), 'X') << name;
        EXPECT_TRUE(form.Visible()) << name;
    }
}

} // namespace
} // namespace lum::test
