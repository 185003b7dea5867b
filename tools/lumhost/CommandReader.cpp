#include "tools/lumhost/CommandReader.h"

#include "tools/common/InputEcho.h"
#include "tools/common/InputLines.h"

#include <chrono>
#include <iostream>
#include <thread>

namespace lum::host {

void ReadCommands(std::istream& input, const CommandRunner& run) {
    while (auto read = tools::ReadInputLine(input)) {
        if (read->TooLong()) {
            std::cerr << "lumhost: command line too long: "
                      << tools::EchoInput(read->Start, read->Bytes) << '\n';
            continue;
        }
        std::string_view line = read->Start;
        const auto parsed = ParseHostCommand(line);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (const auto* problem = std::get_if<HostCommandProblem>(&parsed)) {
            if (*problem == HostCommandProblem::BadArgument) {
                std::cerr << "lumhost: bad argument: " << tools::EchoInput(line) << '\n';
            } else if (line.find_first_not_of(" \t\r") != std::string::npos) {
                std::cerr << "lumhost: unknown command: " << tools::EchoInput(line) << '\n';
            }
            continue;
        }
        const auto& command = std::get<HostCommand>(parsed);
        if (command.Kind == HostCommandKind::Sleep) {
            std::this_thread::sleep_for(std::chrono::milliseconds(command.Argument));
            continue;
        }
        if (const std::string refused = run(command); !refused.empty()) {
            std::cerr << "lumhost: bad argument: " << tools::EchoInput(line) << " (" << refused
                      << ")\n";
        }
        if (command.Kind == HostCommandKind::Quit) {
            return;
        }
    }
    (void)run(HostCommand{HostCommandKind::Quit});
}

} // namespace lum::host
