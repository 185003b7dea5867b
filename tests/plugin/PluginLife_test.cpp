// The plug-in's life in the host: load creates the windows in their order and states, config
// shows the dialog, quit releases the port, unload destroys everything and a second load works
// again; a quit that arrives inside a message box's loop unloads once the box has closed.
#include "display/DisplayEngine.h"
#include "platform/Files.h"
#include "plugin/PluginLife.h"
#include "support/PluginHarness.h"
#include "ui/main/MainForm.h"

#include <algorithm>
#include <filesystem>

namespace lum::test {
namespace {

using platform::headless::HeadlessForm;

class PluginLifeTest : public PluginTest {
protected:
    void SetUp() override {
        Settings settings;
        settings.DisplayOff = false;
        WriteSettings(settings);
    }
};

TEST_F(PluginLifeTest, LoadCreatesEveryWindowHiddenButSplashAndMainWindow) {
    EXPECT_EQ(ui.FindForm("MainForm"), nullptr) << "nothing before the export is called";
    Load();
    const struct {
        const char* Name;
        bool Visible;
    } windows[] = {{"Form1", true},
                   {"MainForm", true},
                   {"aboutw", false},
                   {"configform", false},
                   {"befehle", false}};
    for (const auto& window : windows) {
        SCOPED_TRACE(window.Name);
        EXPECT_EQ(Form(window.Name).Visible(), window.Visible);
    }
    serial::TSerialPortNG* port = LoadedPlugin()->SerialPort();
    ASSERT_NE(port, nullptr);
    EXPECT_FALSE(port->Active());
    EXPECT_EQ(port->CommPort(), "COM1");
    EXPECT_EQ(port->BaudRate(), 9600u);
    EXPECT_EQ(port->ErrorNoise(), 255);
    EXPECT_EQ(winampGetGeneralPurposePlugin(), &ThePluginRecord()) << "later calls load nothing";
    EXPECT_EQ(ui.FindForm("Form1")->RaisedCount(), 1);
}

TEST_F(PluginLifeTest, ConfigShowsTheDialogAndBringsItForward) {
    PluginRecord& record = Load();
    Advance(10);
    HeadlessForm& dialog = Form("configform");
    record.config();
    EXPECT_TRUE(dialog.Visible());
    EXPECT_EQ(Control("configform", "PageControl1").ItemIndex(), 1);
    Control("configform", "PageControl1").SetItemIndex(0);
    record.config();
    EXPECT_EQ(dialog.RaisedCount(), 2);
    EXPECT_EQ(Control("configform", "PageControl1").ItemIndex(), 0) << "later showings keep it";
}

TEST_F(PluginLifeTest, UnloadDestroysEverythingAndASecondLoadWorksAgain) {
    PluginRecord& record = Load();
    Advance(2'000);
    record.quit();
    Unload();
    EXPECT_EQ(ui.FindForm("MainForm"), nullptr);
    EXPECT_EQ(ui.FindForm("Form1"), nullptr);
    EXPECT_FALSE(ui.NextTimerDue().has_value()) << "no timer left";
    EXPECT_EQ(LoadedPlugin(), nullptr);
    EXPECT_EQ(comm.OpenEvents(), 0u);
    EXPECT_EQ(ThePluginRecord().quit, nullptr);

    const std::size_t before = Writes().size();
    const std::uint64_t start = loop.Now();
    Load();
    Advance(1'300);
    ASSERT_GT(Writes().size(), before);
    EXPECT_EQ(Writes()[before], (LineWrite{start + 1'005, "\x14"}));
}

TEST_F(PluginLifeTest, UnloadWithoutQuitReleasesThePortToo) {
    Load();
    Advance(2'000);
    Unload();
    EXPECT_EQ(comm.OpenEvents(), 0u);
    const std::vector<std::string> calls = comm.UiCallNames();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "CloseHandle"), calls.end());
}

TEST_F(PluginLifeTest, QuitInsideAMessageBoxUnloadsOnceTheBoxHasClosed) {
    std::filesystem::remove(std::filesystem::path(platform::HostDirectory()) / "plugins" /
                            "gen_lum.ini");
    PluginRecord* record = nullptr;
    bool loadedAfterQuit = false;
    // The host quits while the first-run message is open (its loop dispatches the call).
    ui.SetMessageAnswerDelay([&](const platform::headless::ShownMessage&) {
        loop.Post([&] {
            record->quit();
            loadedAfterQuit = LoadedPlugin() != nullptr;
        });
        return std::uint64_t{2'000};
    });
    record = &Load();
    Advance(10);
    EXPECT_TRUE(loadedAfterQuit) << "not while the box is open";
    EXPECT_EQ(LoadedPlugin(), nullptr);
    EXPECT_EQ(ui.FindForm("MainForm"), nullptr);
    EXPECT_GE(loop.Now(), 2'005u) << "the box stayed open for its two seconds";
}

} // namespace
} // namespace lum::test
