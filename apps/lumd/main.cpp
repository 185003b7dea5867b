// lumd: the plug-in's display driven from a Linux player. One source a run (MPD, an MPRIS
// player or a playlist's simulated player) answers the display engine's questions; the display
// runs on the plug-in's own driver with the settings of its configuration file (or the plug-in's
// settings file), on lumd's own event loop, which also takes the signals, standard input and the
// player's changes. The display is on a tty, or LCDproc's server LCDd's. See Options.h for the
// command line.
//
// Exit codes: 0 after a quit (SIGTERM, SIGINT, the quit command); 1 when the configuration or
// settings file, the playlist, the device or the player cannot be used; 2 for a bad command line.

#include "apps/lumd/ChangeRelay.h"
#include "apps/lumd/Detach.h"
#include "apps/lumd/DeviceCheck.h"
#include "apps/lumd/DisplayRun.h"
#include "apps/lumd/EventLoop.h"
#include "apps/lumd/Options.h"
#include "apps/lumd/PlayerChoice.h"
#include "apps/lumd/RunSettings.h"
#include "apps/lumd/Signals.h"
#include "apps/lumd/StandardStreams.h"
#include "apps/lumd/TransportInput.h"
#include "apps/lumd/TtyDisplayLine.h"
#include "display/ProtocolTable.h"
#include "tools/common/CommandLine.h"
#include "tools/common/SignalWatch.h"

#include <cstdlib>
#include <iostream>
#include <optional>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

using namespace lum;
using namespace lum::lumd;

constexpr int kExitUnusable = 1;

// What one command of standard input does.
void Obey(const InputCommand& command, ChosenPlayer& player, DisplayRun& run) {
    if (const auto* transport = std::get_if<TransportCommand>(&command)) {
        player.Transport->Send(*transport);
    } else if (const auto* brightness = std::get_if<BrightnessCommand>(&command)) {
        run.Brightness(brightness->Step);
    } else {
        run.Quit();
    }
}

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
    if (const DeviceCheck device = options.Lcdproc ? DeviceCheck{} : CheckDevice(options.Port);
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

    EventLoop loop([&log](std::string_view message) { log.Error(PluginErrorText(message)); });
    const LoopSignals loopSignals(loop, signals);
    ChangeRelay changes(loop);
    std::optional<ChosenPlayer> player = ChoosePlayer(
        options, log, [&changes] { changes.Notify(); }, [&loop] { return loop.Now(); });
    if (!player) {
        return kExitUnusable;
    }
    std::unique_ptr<DisplayRun> run;
    std::unique_ptr<TransportInput> input;
    int exitCode = 0;
    // A quit before the display runs ends lumd at once: nothing was sent yet, and the player's
    // start may still wait for its server.
    signals.Handle({SIGINT, SIGTERM}, [&] { run ? run->Quit() : loop.Stop(); });
    signals.Handle({SIGHUP}, [&] {
        if (!run) {
            return;
        }
        if (const std::optional<RunValues> values = runSettings.Reread()) {
            run->Reread(values->Display, values->Rules);
        }
    });
    const auto started = [&](const StartResult& result) {
        if (result.Outcome == StartOutcome::Refused) {
            log.Error(result.Message);
            exitCode = kExitUnusable;
            loop.Stop();
            return;
        }
        if (result.Outcome == StartOutcome::Waiting) {
            log.Warning(result.Message);
        } else {
            log.Info("following " + player->Description);
        }
        if (options.Lcdproc) {
            run = std::make_unique<DisplayRun>(
                loop, *player->Now, log,
                std::make_unique<LcdprocOutput>(
                    loop, log, LcdprocOptions{*options.Lcdproc, options.LcdprocIdle}),
                options.Display);
        } else {
            auto line = std::make_unique<TtyDisplayLine>(
                options.Port, [&loop](std::function<void()> call) { loop.Post(std::move(call)); });
            run = std::make_unique<DisplayRun>(
                loop, *player->Now, log, options.Port, std::move(line), options.Display,
                options.Protocol.empty() ? nullptr : MakeDisplayProtocol(options.Protocol, {}));
        }
        changes.SetHandler([&run] { run->ShowChangeNow(); });
        if (detached) {
            detached->Running();
        }
        if (options.Foreground && !MayReadStandardInput()) {
            log.Info("commands are not read: standard input is the terminal, and lumd runs in "
                     "its background");
        } else if (options.Foreground) {
            input = std::make_unique<TransportInput>(
                loop, STDIN_FILENO, log,
                [&](const InputCommand& command) { Obey(command, *player, *run); });
        }
        run->Begin(start->Display);
    };
    player->Start([&loop, &started](StartResult result) {
        loop.Post([&started, result = std::move(result)] { started(result); });
    });
    loop.RunUntil([&run] { return run && run->Finished(); });
    if (run) {
        exitCode = run->ExitCode();
        log.Debug("quit");
        input.reset();
        run.reset();
        player.reset();
    }
    // A player that has not started yet may still wait for its server: the process ends
    // without waiting for it.
    std::exit(exitCode);
}
