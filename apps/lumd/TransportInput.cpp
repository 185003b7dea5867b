#include "apps/lumd/TransportInput.h"

#include "tools/common/HostCommand.h"
#include "tools/common/InputEcho.h"
#include "tools/common/InputLines.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
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

// "brightness N" with N 1-4; none for any other line.
std::optional<InputCommand> BrightnessOf(std::string_view line) {
    constexpr std::string_view kWord = "brightness ";
    const auto start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos || line.substr(start, kWord.size()) != kWord) {
        return std::nullopt;
    }
    std::string_view step = line.substr(start + kWord.size());
    step.remove_prefix(std::min(step.find_first_not_of(" \t"), step.size()));
    step.remove_suffix(step.size() - std::min(step.find_last_not_of(" \t") + 1, step.size()));
    if (step.size() != 1 || step[0] < '1' || step[0] > '4') {
        return std::nullopt;
    }
    return BrightnessCommand{step[0] - '0'};
}

} // namespace

void ReadTransportInput(std::istream& input, Log& log,
                        const std::function<void(const InputCommand&)>& run) {
    while (auto read = tools::ReadInputLine(input)) {
        if (read->TooLong()) {
            log.Warning("command line too long: " + tools::EchoInput(read->Start, read->Bytes));
            continue;
        }
        std::string& line = read->Start;
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
        auto wanted = command != nullptr ? CommandOf(command->Kind) : BrightnessOf(line);
        if (!wanted) {
            log.Warning("not a command of lumd: '" + tools::EchoInput(line) +
                        "' (play, pause, stop, next, prev, brightness 1-4, sleep MS, quit)");
            continue;
        }
        log.Debug("command: " + tools::EchoInput(line));
        run(*wanted);
        if (std::holds_alternative<QuitCommand>(*wanted)) {
            return;
        }
    }
    log.Debug("end of standard input: commands are no longer read");
}

} // namespace lum::lumd
