// lumd's standard input: one script of the stand-in host's words read line by line from a pipe
// on lumd's loop, each line giving lumd's command or a warning, quit ending the reading.
#include "apps/lumd/TransportInput.h"
#include "apps/lumd/WorkerInbox.h"

#include <csignal>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

namespace lum::lumd {
namespace {

// What a line gave: the command's text, or "warning" for a line lumd does not take.
std::string Shown(const InputCommand& command) {
    if (const auto* transport = std::get_if<TransportCommand>(&command)) {
        return std::string(TransportCommandName(*transport));
    }
    if (const auto* brightness = std::get_if<BrightnessCommand>(&command)) {
        return "brightness " + std::to_string(brightness->Step);
    }
    return "quit";
}

// Reads `script` through a pipe on a loop, as lumd reads its standard input, until the reading
// ends; each command goes to `run`.
void ReadScript(const std::string& script, Log& log,
                const std::function<void(const InputCommand&)>& run) {
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    std::thread writer([&script, end = pipeEnds[1]] {
        sigset_t pipeSignal; // a write after the reader has gone fails instead
        sigemptyset(&pipeSignal);
        sigaddset(&pipeSignal, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
        for (std::size_t at = 0; at < script.size();) {
            const ssize_t written = ::write(end, script.data() + at, script.size() - at);
            if (written <= 0) {
                break;
            }
            at += static_cast<std::size_t>(written);
        }
        ::close(end);
    });
    EventLoop loop([](std::string_view what) { ADD_FAILURE() << what; });
    TransportInput input(loop, pipeEnds[0], log, run);
    loop.RunUntil([&input] { return input.Ended(); });
    ::close(pipeEnds[0]); // a writer still writing after a quit fails and ends
    writer.join();
}

TEST(TransportInput, TakesTheHostsWordsAndWarnsOfTheRest) {
    // clang-format off
    const struct {
        const char* Line;
        const char* Gives; ///< "warning", or nothing for a line that gives nothing
    } kLines[] = {
        // Line                 Gives
        {"play",               "play"},
        {"  pause \r",         "pause"},
        {"",                   ""},
        {"sleep 20",           ""},
        {"stop",               "stop"},
        {"next",               "next"},
        {"prev",               "prev"},
        {"brightness 1",       "brightness 1"},
        {"brightness 3",       "brightness 3"},
        {"brightness 4",       "brightness 4"},
        {"brightness 0",       "warning"},
        {"brightness 5",       "warning"},
        {"brightness",         "warning"},
        {"seek 1000",          "warning"},
        {"config",             "warning"},
        {"bogus",              "warning"},
        {"quit",               "quit"},
        {"play",               ""}, // after quit nothing is read
    };
    // clang-format on
    std::string script;
    std::vector<std::string> expected;
    for (const auto& line : kLines) {
        script += std::string(line.Line) + "\n";
        if (line.Gives[0] != '\0') {
            expected.emplace_back(line.Gives);
        }
    }
    std::vector<std::string> seen;
    Log log(LogLevel::Warning, [&](LogLevel, std::string_view) { seen.emplace_back("warning"); });
    ReadScript(script, log, [&](const InputCommand& command) { seen.push_back(Shown(command)); });
    EXPECT_EQ(seen, expected);
}

TEST(TransportInput, JunkLinesAreEchoedCutAndTheNextLineIsRead) {
    const std::string kJunk(100'000, 'x'); // longer than any command line: not held whole
    const std::string kShortJunk(1'000, 'y');
    std::vector<std::string> warnings;
    std::vector<std::string> seen;
    Log log(LogLevel::Warning,
            [&](LogLevel, std::string_view text) { warnings.emplace_back(text); });
    ReadScript(kJunk + "\n" + kShortJunk + "\nnext\n", log,
               [&](const InputCommand& command) { seen.push_back(Shown(command)); });
    EXPECT_EQ(seen, std::vector<std::string>{"next"});
    ASSERT_EQ(warnings.size(), 2U);
    EXPECT_NE(warnings[0].find("command line too long: "), std::string::npos) << warnings[0];
    EXPECT_NE(warnings[0].find("(100000 bytes, cut)"), std::string::npos) << warnings[0];
    EXPECT_NE(warnings[1].find("(1000 bytes, cut)"), std::string::npos) << warnings[1];
    for (const std::string& warning : warnings) {
        EXPECT_LT(warning.size(), 400U) << warning;
    }
}

} // namespace
} // namespace lum::lumd
