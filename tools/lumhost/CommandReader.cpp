#include "tools/lumhost/CommandReader.h"

#include "tools/common/EscapedText.h"

#include <chrono>
#include <iostream>
#include <thread>

namespace lum::host {

void ReadCommands(std::istream& input, const CommandRunner& run) {
    std::string line;
    while (std::getline(input, line)) {
        const auto parsed = ParseHostCommand(line);
        const std::string shown =
            tools::EscapeText(line.ends_with('\r') ? line.substr(0, line.size() - 1) : line);
        if (const auto* problem = std::get_if<HostCommandProblem>(&parsed)) {
            if (*problem == HostCommandProblem::BadArgument) {
                std::cerr << "lumhost: bad argument: " << shown << '\n';
            } else if (line.find_first_not_of(" \t\r") != std::string::npos) {
                std::cerr << "lumhost: unknown command: " << shown << '\n';
            }
            continue;
        }
        const auto& command = std::get<HostCommand>(parsed);
        if (command.Kind == HostCommandKind::Sleep) {
            std::this_thread::sleep_for(std::chrono::milliseconds(command.Argument));
            continue;
        }
        if (const std::string refused = run(command); !refused.empty()) {
            std::cerr << "lumhost: bad argument: " << shown << " (" << refused << ")\n";
        }
        if (command.Kind == HostCommandKind::Quit) {
            return;
        }
    }
    (void)run(HostCommand{HostCommandKind::Quit});
}

} // namespace lum::host
