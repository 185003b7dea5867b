#include "tools/lumd/TransportInput.h"

#include "tools/common/EscapedText.h"
#include "tools/lumhost/HostCommand.h"

#include <chrono>
#include <optional>
#include <string>
#include <thread>

namespace lum::lumd {
namespace {

using host::HostCommandKind;

std::optional<InputCommand> CommandOf(HostCommandKind kind) {
    switch (kind) {
    case HostCommandKind::Play:
        return TransportCommand::Play;
    case HostCommandKind::Pause:
        return TransportCommand::Pause;
    case HostCommandKind::Stop:
        return TransportCommand::Stop;
    case HostCommandKind::Next:
        return TransportCommand::Next;
    case HostCommandKind::Previous:
        return TransportCommand::Previous;
    case HostCommandKind::Quit:
        return QuitCommand{};
    default:
        return std::nullopt;
    }
}

} // namespace

void ReadTransportInput(std::istream& input, Log& log,
                        const std::function<void(const InputCommand&)>& run) {
    std::string line;
    while (std::getline(input, line)) {
        if (line.ends_with('\r')) {
            line.pop_back();
        }
        if (line.find_first_not_of(" \t") == std::string::npos) {
            continue;
        }
        const auto parsed = host::ParseHostCommand(line);
        const auto* command = std::get_if<host::HostCommand>(&parsed);
        if (command != nullptr && command->Kind == HostCommandKind::Sleep) {
            std::this_thread::sleep_for(std::chrono::milliseconds(command->Argument));
            continue;
        }
        const auto wanted = command != nullptr ? CommandOf(command->Kind) : std::nullopt;
        if (!wanted) {
            log.Warning("not a command of lumd: '" + tools::EscapeText(line) +
                        "' (play, pause, stop, next, prev, sleep MS, quit)");
            continue;
        }
        log.Debug("command: " + line);
        run(*wanted);
        if (std::holds_alternative<QuitCommand>(*wanted)) {
            return;
        }
    }
    log.Debug("end of standard input: commands are no longer read");
}

} // namespace lum::lumd
