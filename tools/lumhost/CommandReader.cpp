#include "tools/lumhost/CommandReader.h"

#include "tools/lumhost/InputEcho.h"

#include <chrono>
#include <iostream>
#include <thread>

namespace lum::host {

std::optional<InputLine> ReadInputLine(std::istream& input) {
    using Traits = std::istream::traits_type;
    // As any read of a stream: a tied output stream is flushed first.
    if (const std::istream::sentry ready(input, true); !ready) {
        return std::nullopt;
    }
    std::streambuf& buffer = *input.rdbuf();
    InputLine line;
    for (bool any = false;; any = true) {
        const Traits::int_type next = buffer.sbumpc();
        if (Traits::eq_int_type(next, Traits::eof())) {
            input.setstate(std::ios::eofbit);
            return any ? std::optional(line) : std::nullopt;
        }
        if (next == '\n') {
            return line;
        }
        if (++line.Bytes <= kMaxCommandBytes) {
            line.Start.push_back(Traits::to_char_type(next));
        }
    }
}

void ReadCommands(std::istream& input, const CommandRunner& run) {
    while (auto read = ReadInputLine(input)) {
        if (read->TooLong()) {
            std::cerr << "lumhost: command line too long: " << EchoInput(read->Start, read->Bytes)
                      << '\n';
            continue;
        }
        std::string_view line = read->Start;
        const auto parsed = ParseHostCommand(line);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (const auto* problem = std::get_if<HostCommandProblem>(&parsed)) {
            if (*problem == HostCommandProblem::BadArgument) {
                std::cerr << "lumhost: bad argument: " << EchoInput(line) << '\n';
            } else if (line.find_first_not_of(" \t\r") != std::string::npos) {
                std::cerr << "lumhost: unknown command: " << EchoInput(line) << '\n';
            }
            continue;
        }
        const auto& command = std::get<HostCommand>(parsed);
        if (command.Kind == HostCommandKind::Sleep) {
            std::this_thread::sleep_for(std::chrono::milliseconds(command.Argument));
            continue;
        }
        if (const std::string refused = run(command); !refused.empty()) {
            std::cerr << "lumhost: bad argument: " << EchoInput(line) << " (" << refused << ")\n";
        }
        if (command.Kind == HostCommandKind::Quit) {
            return;
        }
    }
    (void)run(HostCommand{HostCommandKind::Quit});
}

} // namespace lum::host
