// The about box and the variables window: opened from the dialog, hidden by their "OK" (and the
// variables window by its close box), one window each however often they are opened; the about
// box's links go to the shell.
#include "support/PluginHarness.h"
#include "ui/Addresses.h"

namespace lum::test {
namespace {

class InfoWindowsTest : public PluginTest {
protected:
    void SetUp() override {
        Load();
        Advance(10); // the first run opens the dialog
    }
};

TEST_F(InfoWindowsTest, OpenedTwiceTheyAreOneWindowEach) {
    const struct {
        const char* Button;
        const char* Window;
        const char* Ok;
    } windows[] = {{"Panel3", "aboutw", "Panel1"}, {"Button2", "befehle", "Panel2"}};
    for (const auto& w : windows) {
        SCOPED_TRACE(w.Window);
        Click("configform", w.Button);
        Click("configform", w.Button);
        EXPECT_TRUE(Form(w.Window).Visible());
        EXPECT_EQ(Form(w.Window).RaisedCount(), 2) << "brought forward, not made again";
        Click(w.Window, w.Ok);
        EXPECT_FALSE(Form(w.Window).Visible());
        Click("configform", w.Button);
        EXPECT_TRUE(Form(w.Window).Visible()) << "it opens again";
    }
    EXPECT_TRUE(Form("configform").Visible()) << "neither is modal";
}

TEST_F(InfoWindowsTest, CloseBoxHidesTheVariablesWindowOnly) {
    Click("configform", "Button2");
    ui.CloseBox(Form("befehle"));
    EXPECT_FALSE(Form("befehle").Visible());
    EXPECT_TRUE(Form("configform").Visible()) << "the dialog has no close box";
}

TEST_F(InfoWindowsTest, LinksOpenTheirPages) {
    Click("aboutw", "Label8");
    Click("aboutw", "Label15");
    Click("configform", "Image1");
    EXPECT_EQ(ui.OpenedAddresses(), (std::vector<std::string>{std::string(ui::kDownloadPage),
                                                              std::string(ui::kConnectionPage),
                                                              std::string(ui::kProductPage)}));
}

TEST_F(InfoWindowsTest, PicturesHaveTheirControlsSizes) {
    const struct {
        const char* Window;
        const char* Image;
        int Width, Height;
    } pictures[] = {{"Form1", "Image1", 440, 250},
                    {"aboutw", "Image1", 320, 240},
                    {"befehle", "Image1", 413, 30},
                    {"configform", "Image1", 417, 33},
                    {"configform", "Image2", 321, 161}};
    for (const auto& p : pictures) {
        SCOPED_TRACE(std::string(p.Window) + "." + p.Image);
        const platform::Picture& shown = Control(p.Window, p.Image).ShownPicture();
        EXPECT_EQ(shown.Width, p.Width);
        EXPECT_EQ(shown.Height, p.Height);
        EXPECT_EQ(shown.Pixels.size(), static_cast<std::size_t>(p.Width * p.Height));
    }
}

} // namespace
} // namespace lum::test
