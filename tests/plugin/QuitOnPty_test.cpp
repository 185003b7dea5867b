// quit over a real pty in real time: a frame is still pending (the line is full, nobody has read)
// when the host quits; as the line drains, the blank frame follows and is the last thing the
// display receives before the port closes.
#include "../serial/PtyPair.h"
#include "platform/Files.h"
#include "platform/headless/HeadlessUi.h"
#include "platform/headless/RealTimeLoop.h"
#include "platform/posix/ComPortNames.h"
#include "plugin/PluginEnvironment.h"
#include "plugin/PluginLife.h"
#include "plugin/PluginRecord.h"
#include "settings/SettingsFile.h"
#include "ui/main/MainForm.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace lum::test {
namespace {

using namespace std::chrono_literals;

TEST(QuitOnPty, TheBlankFrameIsTheLastThingOnTheLine) {
    serial::testing::PtyPair pty;
    platform::posix::SetComPortPath(1, pty.SlavePath());
    const std::string folder = ::testing::TempDir() + "lum_quit_on_pty/";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder + "plugins");
    const std::string previousFolder = platform::HostDirectory();
    platform::SetHostDirectory(folder);
    Settings settings;
    settings.DisplayOff = false;
    settings.LineWidth = 80;
    settings.LineCount = 8;
    settings.UpdateInterval = 50;
    // 2400 baud: the quit's waits are bounded by the frames' time on the wire at this rate, long
    // enough for the reader below also on a loaded machine (a pty itself does not throttle).
    settings.BaudRateIndex = 0;
    SaveSettingsFile(SettingsFilePath(folder), settings);

    platform::headless::RealTimeLoop loop;
    platform::headless::HeadlessUi ui(loop);
    ui.SetFontFamilies({"Digital Readout Upright"});
    const PluginEnvironment environment{ui, platform::SystemComm()};
    UsePluginEnvironment(&environment);
    PluginRecord& record = *winampGetGeneralPurposePlugin();
    serial::TSerialPortNG* port = nullptr;

    // Nobody reads: the line fills until a frame stays pending.
    int pendingLooks = 0;
    for (int look = 0; look < 400 && pendingLooks < 4; ++look) {
        loop.RunFor(50);
        port = LoadedPlugin()->Context().MainForm->SerialPortNG1();
        pendingLooks = port->Active() && port->SendInProgress() ? pendingLooks + 1 : 0;
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

    EXPECT_EQ(LoadedPlugin()->Context().MainForm->SerialPortNG1(), nullptr);
    const std::string blank(640, ' ');
    ASSERT_GE(received.size(), blank.size());
    EXPECT_EQ(
        std::string(received.end() - static_cast<std::ptrdiff_t>(blank.size()), received.end()),
        blank);
    // The initialisation byte, CR LF, and whole frames: the pending one was not cut off.
    EXPECT_EQ((received.size() - 3) % blank.size(), 0u) << received.size();

    UnloadPlugin();
    UsePluginEnvironment(nullptr);
    platform::posix::SetComPortPath(1, {});
    platform::SetHostDirectory(previousFolder);
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace lum::test
