// lumd: the plug-in's display driven from a Linux player. One source a run (MPD, an MPRIS
// player or a playlist's simulated player) answers the display engine's questions; the display
// runs on the plug-in's own driver with its settings file, on the headless platform in real
// time. See Options.h for the command line.
//
// Exit codes: 0 after a quit (SIGTERM, SIGINT, the quit command); 1 when the settings file, the
// playlist, the device or the player cannot be used; 2 for a bad command line.

#include "platform/headless/HeadlessUi.h"
#include "platform/headless/RealTimeLoop.h"
#include "tools/lumd/ChangeRelay.h"
#include "tools/lumd/Detach.h"
#include "tools/lumd/DeviceCheck.h"
#include "tools/lumd/DisplayRun.h"
#include "tools/lumd/Options.h"
#include "tools/lumd/PlayerChoice.h"
#include "tools/lumd/SettingsApply.h"
#include "tools/lumd/Signals.h"
#include "tools/lumd/StandardStreams.h"
#include "tools/lumd/TransportInput.h"
#include "tools/lumd/TtyDisplayLine.h"

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
constexpr int kExitBadCommandLine = 2;

std::optional<Settings> SettingsToStartWith(const LumdOptions& options, Log& log) {
    if (options.SettingsFile.empty()) {
        log.Info("no settings file: the start values, with the display switched on");
        return StartValuesSwitchedOn();
    }
    auto read = ReadSettingsFile(options.SettingsFile);
    if (const auto* problem = std::get_if<SettingsProblem>(&read)) {
        log.Error(problem->Message);
        return std::nullopt;
    }
    return std::get<Settings>(std::move(read));
}

// SIGHUP: the file read afresh; a file that cannot be used leaves the running settings as they
// are.
void Reread(const LumdOptions& options, Log& log, DisplayRun& run) {
    if (options.SettingsFile.empty()) {
        log.Info("SIGHUP: no settings file to read again");
        return;
    }
    auto read = ReadSettingsFile(options.SettingsFile);
    if (const auto* problem = std::get_if<SettingsProblem>(&read)) {
        log.Error(problem->Message + "; the running settings stay");
        return;
    }
    log.Info("SIGHUP: settings read again from " + options.SettingsFile);
    run.Reread(std::get<Settings>(read));
}

} // namespace

int main(int argc, char** argv) {
    OpenClosedStandardStreams();
    IgnoreStreamSignals();
    const sigset_t controlSignals = BlockControlSignals();

    const std::vector<std::string_view> arguments(argv + std::min(argc, 1), argv + argc);
    LumdOptions options;
    try {
        options = ParseOptions(arguments, MpdEnvironment::FromProcess());
    } catch (const OptionsError& error) {
        std::cerr << "lumd: " << error.what() << '\n' << kLumdUsage;
        return kExitBadCommandLine;
    }
    if (options.Help) {
        std::cout << kLumdUsage;
        return 0;
    }
    Log log(options.Level);
    const std::optional<Settings> asRead = SettingsToStartWith(options, log);
    if (!asRead) {
        return kExitUnusable;
    }
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
    StartSignalThread(controlSignals, quitRoute,
                      [&loop, &reread] { loop.PostFromAnyThread([&reread] { reread(); }); });

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
    auto run = std::make_unique<DisplayRun>(ui, *player->Now, log, options.Port, std::move(line));
    changes.SetHandler([&run] { run->ShowChangeNow(); });
    reread = [&] { Reread(options, log, *run); };
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
    run->Begin(*asRead);
    loop.RunUntil([&run] { return run->Finished(); });
    const int exitCode = run->ExitCode();
    log.Debug("quit");
    run.reset();
    player.reset();
    // The reader of standard input may still wait for a line, and the signal thread for a
    // signal: the process ends without tearing down the loop they could still post to.
    std::exit(exitCode);
}
