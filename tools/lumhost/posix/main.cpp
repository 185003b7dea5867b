// lumhost, native: the stand-in for the media player on Linux. The plug-in's own code runs in
// this process on the headless platform in real time, its serial port on a real tty or pty, and
// the player simulates playing the entries of an extended M3U playlist.
//
//   lumhost [--port DEVICE] [--folder DIR] PLAYLIST.m3u
//
// The settings file is DIR/plugins/gen_lum.ini (DIR: the current folder unless given); every
// COM port of the settings opens DEVICE. Commands on standard input and events on standard
// output are those of the Windows program; message boxes are always reported and answered with
// OK. End of input counts as quit. A bad command line or playlist: exit code 2.

#include "platform/Files.h"
#include "platform/headless/HeadlessUi.h"
#include "platform/headless/RealTimeLoop.h"
#include "platform/posix/ComPortNames.h"
#include "plugin/PluginEnvironment.h"
#include "tools/lumhost/CommandReader.h"
#include "tools/lumhost/EventLog.h"
#include "tools/lumhost/PlaylistFile.h"
#include "tools/lumhost/posix/NativeHost.h"
#include "tools/lumhost/posix/RunnerOptions.h"
#include "ui/FormLayout.h"

#include <filesystem>
#include <iostream>
#include <thread>

namespace {

using namespace lum;
using namespace lum::host;

constexpr int kExitBadSetup = 2;
/// The COM ports a settings file can name: COM1 to COM9.
constexpr unsigned kComPorts = 9;

} // namespace

int main(int argc, char** argv) {
    const auto options = ParseRunnerOptions(argc, argv);
    if (!options) {
        std::cerr << kRunnerUsage << '\n';
        return kExitBadSetup;
    }
    auto entries =
        LoadPlaylistFile(std::filesystem::absolute(options->Playlist).string(), PathStyle::Posix);
    if (!entries) {
        return kExitBadSetup;
    }
    platform::SetHostDirectory(options->Folder);
    if (!options->Port.empty()) {
        for (unsigned number = 1; number <= kComPorts; ++number) {
            platform::posix::SetComPortPath(number, options->Port);
        }
    }

    platform::headless::RealTimeLoop loop;
    platform::headless::HeadlessUi ui(loop);
    // The headless windows draw no text, so the display font counts as installed.
    ui.SetFontFamilies({std::string(ui::kDisplayFontFace)});
    const PluginEnvironment environment{ui, platform::SystemComm()};
    UsePluginEnvironment(&environment);

    NativeHost host(ui, SimulatedPlayer(std::move(*entries)), [&loop] { return loop.Now(); });
    host.Load();
    // Standard input is read on a thread of its own; each command runs on this thread.
    std::thread reader([&] {
        ReadCommands(std::cin, [&](const HostCommand& command) {
            std::string refused;
            loop.Synchronize([&] { refused = host.Execute(command); });
            return refused;
        });
    });
    loop.RunUntil([&host] { return host.Finished(); });
    reader.join();
    UsePluginEnvironment(nullptr);
    EmitEvent("exit");
    return 0;
}
