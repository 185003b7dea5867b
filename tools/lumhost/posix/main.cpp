// lumhost, native: the stand-in for the media player on Linux. The plug-in's own code runs in
// this process on the headless platform in real time, its serial port on a real tty or pty, and
// the player simulates playing the entries of an extended M3U playlist.
//
//   lumhost [--port DEVICE] [--folder DIR] PLAYLIST.m3u
//   lumhost --help
//
// The settings file is DIR/plugins/gen_lum.ini (DIR: the current folder unless given); every
// COM port of the settings opens DEVICE. Commands on standard input and events on standard
// output are those of the Windows program; message boxes are always reported and answered with
// OK. End of input, Ctrl-C, SIGTERM and SIGHUP count as quit. A bad command line or playlist:
// exit code 2. The first failed open of the port is said on standard error.

#include "platform/Files.h"
#include "platform/headless/HeadlessUi.h"
#include "platform/headless/RealTimeLoop.h"
#include "platform/posix/ComPortNames.h"
#include "plugin/PluginEnvironment.h"
#include "tools/common/CommandLine.h"
#include "tools/common/SignalWatch.h"
#include "tools/lumhost/CommandReader.h"
#include "tools/lumhost/EventLog.h"
#include "tools/lumhost/PlaylistFile.h"
#include "tools/lumhost/posix/NativeHost.h"
#include "tools/lumhost/posix/PortOpenReport.h"
#include "tools/lumhost/posix/RunnerOptions.h"
#include "ui/FormLayout.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <thread>
#include <vector>

namespace {

using namespace lum;
using namespace lum::host;

constexpr int kExitBadSetup = 2;
/// The COM ports a settings file can name: COM1 to COM9.
constexpr unsigned kComPorts = 9;

} // namespace

int main(int argc, char** argv) {
    // First, before anything can block or start a thread: a quit signal is taken at once.
    tools::SignalWatch signals;
    signals.StartThread("lumhost-signals");

    RunnerOptions options;
    try {
        options =
            ParseRunnerOptions(std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
    } catch (const tools::CommandLineError& error) {
        return tools::RefuseCommandLine("lumhost", error, kRunnerUsage);
    }
    if (options.Help) {
        std::cout << (options.Version ? tools::VersionLine("lumhost")
                                      : std::string(kRunnerUsage) + kRunnerHelp);
        return 0;
    }
    auto entries =
        LoadPlaylistFile(std::filesystem::absolute(options.Playlist).string(), PathStyle::Posix);
    if (!entries) {
        return kExitBadSetup;
    }
    platform::SetHostDirectory(options.Folder);
    if (!options.Port.empty()) {
        for (unsigned number = 1; number <= kComPorts; ++number) {
            platform::posix::SetComPortPath(number, options.Port);
        }
    }

    platform::headless::RealTimeLoop loop;
    platform::headless::HeadlessUi ui(loop);
    // The headless windows draw no text, so the display font counts as installed.
    ui.SetFontFamilies({std::string(ui::kDisplayFontFace)});
    const PluginEnvironment environment{ui, platform::SystemComm()};
    UsePluginEnvironment(&environment);

    NativeHost host(ui, SimulatedPlayer(std::move(*entries)), [&loop] { return loop.Now(); });
    // A quit signal quits as the command does, so the display is cleared.
    signals.Handle({SIGINT, SIGTERM, SIGHUP}, [&] {
        loop.Synchronize(
            [&] { static_cast<void>(host.Execute(HostCommand{HostCommandKind::Quit})); });
    });
    SayFirstPortOpenFailure();
    host.Load();
    // Standard input is read on a thread of its own; each command runs on this thread.
    std::thread([&] {
        ReadCommands(std::cin, [&](const HostCommand& command) {
            std::string refused;
            loop.Synchronize([&] { refused = host.Execute(command); });
            return refused;
        });
    }).detach();
    loop.RunUntil([&host] { return host.Finished(); });
    UsePluginEnvironment(nullptr);
    EmitEvent("exit");
    std::cout.flush();
    // After a quit by signal the reader still waits for a line: the process ends without
    // waiting for it and without tearing down the loop it could still call.
    std::exit(0);
}
