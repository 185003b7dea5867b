// The plug-in over real ptys in real time, on the headless platform with the POSIX comm layer:
// quit with a frame still pending on a full line, and the display's device going away and
// coming back under the same name (COM1 is a symbolic link that is pointed at a new pty).
#include "host/PluginRecord.h"
#include "platform/Files.h"
#include "platform/headless/HeadlessUi.h"
#include "platform/headless/RealTimeLoop.h"
#include "platform/posix/ComPortNames.h"
#include "plugin/PluginEnvironment.h"
#include "plugin/PluginLife.h"
#include "settings/SettingsFile.h"
#include "support/PluginHarness.h"
#include "support/PtyPair.h"
#include "ui/main/MainForm.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

namespace lum::test {
namespace {

using namespace std::chrono_literals;
using serial::testing::PtyPair;
namespace fs = std::filesystem;

class PluginOnPty : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = FreshTestFolder();
        previousFolder_ = platform::HostDirectory();
        platform::SetHostDirectory(folder_);
        link_ = folder_ + "com1";
        platform::posix::SetComPortPath(1, link_);
        ui_.SetFontFamilies({"Digital Readout Upright"});
        UsePluginEnvironment(&environment_);
    }

    void TearDown() override {
        UnloadPlugin();
        UsePluginEnvironment(nullptr);
        platform::posix::SetComPortPath(1, {});
        platform::SetHostDirectory(previousFolder_);
        fs::remove_all(folder_);
    }

    // Points COM1 at `pty` (or at nothing).
    void PointComPortAt(const PtyPair* pty) {
        fs::remove(link_);
        if (pty != nullptr) {
            fs::create_symlink(pty->SlavePath(), link_);
        }
    }

    // Writes the settings with the display on, and loads the plug-in.
    PluginRecord& Load(Settings settings) {
        settings.DisplayOff = false;
        SaveSettingsFile(SettingsFilePath(folder_), settings);
        return *winampGetGeneralPurposePlugin();
    }

    [[nodiscard]] serial::TSerialPortNG* Port() { return LoadedPlugin()->SerialPort(); }

    platform::headless::RealTimeLoop loop_;
    platform::headless::HeadlessUi ui_{loop_};

private:
    PluginEnvironment environment_{ui_, platform::SystemComm()};
    std::string folder_;
    std::string previousFolder_;
    std::string link_;
};

TEST_F(PluginOnPty, TheBlankFrameIsTheLastThingOnTheLine) {
    PtyPair pty;
    PointComPortAt(&pty);
    Settings settings;
    settings.LineWidth = 80;
    settings.LineCount = 8;
    settings.UpdateInterval = 50;
    // 2400 baud: the quit's waits are bounded by the frames' time on the wire at this rate, long
    // enough for the reader below also on a loaded machine (a pty itself does not throttle).
    settings.BaudRateIndex = 0;
    PluginRecord& record = Load(settings);

    // Nobody reads: the line fills until a frame stays pending.
    int pendingLooks = 0;
    for (int look = 0; look < 400 && pendingLooks < 4; ++look) {
        loop_.RunFor(50);
        pendingLooks = Port()->Active() && Port()->SendInProgress() ? pendingLooks + 1 : 0;
    }
    ASSERT_EQ(pendingLooks, 4) << "a frame stays pending on the full line";

    // The display reads from now on, as a real one always does: a pty reports no output queue, so
    // bytes it holds unread when the port closes would be purged with the port, which a real
    // line's output queue prevents. quit starts at once, while the frame is still pending.
    std::vector<std::uint8_t> received;
    std::thread drain([&] {
        for (auto chunk = pty.Read(1 << 20, 500ms); !chunk.empty();
             chunk = pty.Read(1 << 20, 500ms)) {
            received.insert(received.end(), chunk.begin(), chunk.end());
        }
    });
    record.quit();
    drain.join();

    EXPECT_EQ(Port(), nullptr);
    const std::string blank(640, ' ');
    ASSERT_GE(received.size(), blank.size());
    EXPECT_EQ(
        std::string(received.end() - static_cast<std::ptrdiff_t>(blank.size()), received.end()),
        blank);
    // The initialisation byte, CR LF, and whole frames: the pending one was not cut off.
    EXPECT_EQ((received.size() - 3) % blank.size(), 0u) << received.size();
}

// The device goes (its pty's master closes: the line hangs up) and, after a while, a new pty
// appears under the same name: the display runs its start sequence again, with no message.
TEST_F(PluginOnPty, TheDisplayComesBackOnANewDeviceUnderTheSameName) {
    auto first = std::make_unique<PtyPair>();
    PointComPortAt(first.get());
    Settings settings;
    settings.UpdateInterval = 100;
    Load(settings);
    loop_.RunFor(2'000);
    EXPECT_FALSE(first->Read(1 << 16, 200ms).empty()) << "frames on the first device";

    first->CloseMaster();
    PointComPortAt(nullptr);
    loop_.RunFor(2'500);
    EXPECT_FALSE(Port()->Active()) << "closed, and not to be opened while the device is gone";

    PtyPair second;
    PointComPortAt(&second);
    const auto back = std::chrono::steady_clock::now();
    constexpr std::size_t kWanted = 3 + 40; // 0x14, CR LF, and the first (banner) frame
    std::vector<std::uint8_t> received;
    std::atomic<bool> done{false};
    std::thread display([&] {
        while (std::chrono::steady_clock::now() - back < 3500ms && received.size() < kWanted) {
            const auto chunk = second.Read(1 << 16, 100ms);
            received.insert(received.end(), chunk.begin(), chunk.end());
        }
        done = true;
    });
    while (!done) {
        loop_.RunFor(20);
    }
    display.join();
    const auto took = std::chrono::steady_clock::now() - back;
    ASSERT_GE(received.size(), kWanted) << "the start sequence and a frame on the new device";
    EXPECT_EQ(std::string(received.begin(), received.begin() + 3), "\x14\r\n");
    EXPECT_EQ(std::string(received.begin() + 3, received.begin() + 43), kBanner);
    EXPECT_LT(took, 3000ms);
    EXPECT_TRUE(ui_.Messages().empty());
}

} // namespace
} // namespace lum::test
