// lumd: the plug-in's display driven from a Linux player. One source a run (MPD, an MPRIS
// player or a playlist's simulated player) answers the display engine's questions; the display
// runs on the plug-in's own driver with the settings of its configuration file (or the plug-in's
// settings file), on the headless platform in real time. See Options.h for the command line.
//
// Exit codes: 0 after a quit (SIGTERM, SIGINT, the quit command); 1 when the configuration or
// settings file, the playlist, the device or the player cannot be used; 2 for a bad command line.

#include "apps/lumd/ChangeRelay.h"
#include "apps/lumd/Detach.h"
#include "apps/lumd/DeviceCheck.h"
#include "apps/lumd/DisplayRun.h"
#include "apps/lumd/Options.h"
#include "apps/lumd/PlayerChoice.h"
#include "apps/lumd/RunSettings.h"
#include "apps/lumd/Signals.h"
#include "apps/lumd/StandardStreams.h"
#include "apps/lumd/TransportInput.h"
#include "apps/lumd/TtyDisplayLine.h"
#include "display/ProtocolTable.h"
#include "platform/headless/HeadlessUi.h"
#include "platform/headless/RealTimeLoop.h"
#include "tools/common/CommandLine.h"
#include "tools/common/SignalWatch.h"

#include <cstdlib>
#include <iostream>
#include <optional>
#include <pthread.h>
#include <system_error>
#include <thread>
#include <vector>

namespace {

using namespace lum;
using namespace lum::lumd;

constexpr int kExitUnusable = 1;

} // namespace

int main(int argc, char** argv) {
    OpenClosedStandardStreams();
    IgnoreStreamSignals();
    tools::SignalWatch signals;

    const std::vector<std::string> arguments(argv + std::min(argc, 1), argv + argc);
    LumdOptions options;
    try {
        options = ParseOptions(arguments, MpdEnvironment::FromProcess());
    } catch (const tools::CommandLineError& error) {
        return tools::RefuseCommandLine("lumd", error, kLumdUsage);
    }
    if (options.Help) {
        std::cout << (options.Version ? tools::VersionLine("lumd") : std::string(kLumdUsage));
        return 0;
    }
    Log log(options.Level);
    RunSettings runSettings(options.ConfigFile, options.SettingsFile, options.Given,
                            MpdEnvironment::FromProcess(), log);
    const std::optional<RunValues> start = runSettings.Start();
    if (!start) {
        return kExitUnusable;
    }
    options.Use(*start);
    if (const DeviceCheck device = CheckDevice(options.Port);
        device.State == DeviceState::Refused) {
        log.Error(options.Port + ": " + device.Reason);
        return kExitUnusable;
    }
    std::optional<Detachment> detached;
    if (!options.Foreground) {
        try {
            detached.emplace(Detachment::Detach());
        } catch (const std::system_error& error) {
            log.Error(std::string("cannot leave the terminal: ") + error.what());
            return kExitUnusable;
        }
    }

    platform::headless::RealTimeLoop loop;
    platform::headless::HeadlessUi ui(loop);
    QuitRoute quitRoute;
    std::function<void()> reread = [] {};
    signals.Handle({SIGINT, SIGTERM}, [&quitRoute] { quitRoute.Quit(); });
    signals.Handle({SIGHUP}, [&loop, &reread] { loop.PostFromAnyThread([&reread] { reread(); }); });
    signals.StartThread("lumd-signals");

    ChangeRelay changes(loop);
    std::optional<ChosenPlayer> player = ChoosePlayer(
        options, log, [&changes] { changes.Notify(); }, [&loop] { return loop.Now(); });
    if (!player) {
        return kExitUnusable;
    }
    const StartResult started = player->Start();
    if (started.Outcome == StartOutcome::Refused) {
        log.Error(started.Message);
        return kExitUnusable;
    }
    if (started.Outcome == StartOutcome::Waiting) {
        log.Warning(started.Message);
    } else {
        log.Info("following " + player->Description);
    }

    auto line = std::make_unique<TtyDisplayLine>(options.Port, [&loop](std::function<void()> call) {
        loop.PostFromAnyThread(std::move(call));
    });
    auto run = std::make_unique<DisplayRun>(
        ui, *player->Now, log, options.Port, std::move(line),
        options.Protocol.empty() ? nullptr : MakeDisplayProtocol(options.Protocol, {}));
    changes.SetHandler([&run] { run->ShowChangeNow(); });
    reread = [&] {
        if (const std::optional<Settings> settings = runSettings.Reread()) {
            run->Reread(*settings);
        }
    };
    quitRoute.Arm([&loop, &run] { loop.PostFromAnyThread([&run] { run->Quit(); }); });
    if (detached) {
        detached->Running();
    }
    if (options.Foreground && !MayReadStandardInput()) {
        log.Info("commands are not read: standard input is the terminal, and lumd runs in its "
                 "background");
    } else if (options.Foreground) {
        std::thread([&] {
            pthread_setname_np(pthread_self(), "lumd-input");
            ReadTransportInput(std::cin, log, [&](const InputCommand& command) {
                loop.PostFromAnyThread([&run, &player, command] {
                    if (const auto* transport = std::get_if<TransportCommand>(&command)) {
                        player->Transport->Send(*transport);
                    } else if (const auto* brightness = std::get_if<BrightnessCommand>(&command)) {
                        run->Brightness(brightness->Step);
                    } else {
                        run->Quit();
                    }
                });
            });
        }).detach();
    }
    run->Begin(start->Display);
    loop.RunUntil([&run] { return run->Finished(); });
    const int exitCode = run->ExitCode();
    log.Debug("quit");
    run.reset();
    player.reset();
    // The reader of standard input may still wait for a line, and the signal thread for a
    // signal: the process ends without tearing down the loop they could still post to.
    std::exit(exitCode);
}
