#include "apps/lumd/TransportInput.h"

#include "tools/common/HostCommand.h"
#include "tools/common/InputEcho.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>

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

TransportInput::TransportInput(EventLoop& loop, int fd, Log& log,
                               std::function<void(const InputCommand&)> run)
    : loop_(loop), fd_(fd), log_(log), run_(std::move(run)), sleep_(loop.AddTimer("SleepTimer")) {
    sleep_.OnTimer = [this] {
        sleep_.SetEnabled(false);
        TakeLines();
    };
    pollable_ = watching_ = loop_.Watch(fd_, [this](std::uint32_t) { Read(); });
    if (!pollable_) {
        readPosted_ = true;
        loop_.Post([this] { Read(); });
    }
}

TransportInput::~TransportInput() {
    Watching(false);
    sleep_.SetEnabled(false);
    sleep_.OnTimer = nullptr;
}

void TransportInput::Watching(bool on) {
    if (on != watching_) {
        watching_ = on && loop_.Watch(fd_, [this](std::uint32_t) { Read(); });
        if (!on) {
            loop_.Unwatch(fd_);
        }
    }
}

void TransportInput::Read() {
    readPosted_ = false;
    if (ended_) {
        return;
    }
    char bytes[4096];
    const ssize_t got = ::read(fd_, bytes, sizeof bytes);
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) {
        return;
    }
    if (got <= 0) {
        atEnd_ = true;
        if (auto last = splitter_.End()) {
            waiting_.push_back(std::move(*last));
        }
    } else {
        splitter_.Feed(std::string_view(bytes, static_cast<std::size_t>(got)),
                       [this](tools::InputLine line) { waiting_.push_back(std::move(line)); });
    }
    TakeLines();
}

void TransportInput::TakeLines() {
    while (!ended_ && !sleep_.Enabled() && !waiting_.empty()) {
        tools::InputLine line = std::move(waiting_.front());
        waiting_.pop_front();
        Take(std::move(line));
    }
    if (!ended_ && !sleep_.Enabled() && atEnd_) {
        log_.Debug("end of standard input: commands are no longer read");
        ended_ = true;
    }
    const bool readOn = !ended_ && !sleep_.Enabled();
    if (pollable_) {
        Watching(readOn);
    } else if (readOn && !readPosted_) {
        // A file is always ready: the next read comes at the loop's next turn.
        readPosted_ = true;
        loop_.Post([this] { Read(); });
    }
}
void TransportInput::Take(tools::InputLine read) {
    if (read.TooLong()) {
        log_.Warning("command line too long: " + tools::EchoInput(read.Start, read.Bytes));
        return;
    }
    std::string& line = read.Start;
    if (line.ends_with('\r')) {
        line.pop_back();
    }
    if (line.find_first_not_of(" \t") == std::string::npos) {
        return;
    }
    const auto parsed = host::ParseHostCommand(line);
    const auto* command = std::get_if<host::HostCommand>(&parsed);
    if (command != nullptr && command->Kind == HostCommandKind::Sleep) {
        sleep_.SetInterval(static_cast<std::uint32_t>(command->Argument));
        sleep_.SetEnabled(command->Argument > 0);
        return;
    }
    auto wanted = command != nullptr ? CommandOf(command->Kind) : BrightnessOf(line);
    if (!wanted) {
        log_.Warning("not a command of lumd: '" + tools::EchoInput(line) +
                     "' (play, pause, stop, next, prev, brightness 1-4, sleep MS, quit)");
        return;
    }
    log_.Debug("command: " + tools::EchoInput(line));
    run_(*wanted);
    if (std::holds_alternative<QuitCommand>(*wanted)) {
        ended_ = true;
    }
}

} // namespace lum::lumd
