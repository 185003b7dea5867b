// lumd's standard input: one script of the stand-in host's words read line by line from a pipe
// on lumd's loop, each line giving lumd's command or a warning, quit ending the reading.
#include "Processes.h"
#include "apps/lumd/TransportInput.h"
#include "apps/lumd/WorkerInbox.h"

#include <csignal>
#include <fcntl.h>
#include <fstream>
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

enum class Input { Pipe, File }; // a file is always ready and cannot be watched

// Reads `script` from a pipe or a file on a loop, as lumd reads its standard input, until the
// reading ends; each command goes to `run`. Answers how often a timer of 5 ms ticked meanwhile.
int ReadScript(Input kind, const std::string& script, Log& log,
               const std::function<void(const InputCommand&)>& run) {
    lum::lumd::testing::TempFolder folder;
    int ends[2] = {-1, -1};
    if (kind == Input::File) {
        std::ofstream(folder.Path() + "/script") << script;
        ends[0] = ::open((folder.Path() + "/script").c_str(), O_RDONLY | O_CLOEXEC);
    } else if (::pipe(ends) != 0) {
        ADD_FAILURE() << "no pipe";
        return 0;
    }
    std::thread writer([&script, end = ends[1]] {
        sigset_t pipeSignal; // a write after the reader has gone fails instead
        sigemptyset(&pipeSignal);
        sigaddset(&pipeSignal, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
        for (std::size_t at = 0; end >= 0 && at < script.size();) {
            const ssize_t written = ::write(end, script.data() + at, script.size() - at);
            if (written <= 0) {
                break;
            }
            at += static_cast<std::size_t>(written);
        }
        ::close(end);
    });
    EventLoop loop([](std::string_view what) { ADD_FAILURE() << what; });
    int ticks = 0;
    platform::Timer& timer = loop.AddTimer("CountTimer");
    timer.OnTimer = [&ticks] { ++ticks; };
    timer.SetInterval(5);
    timer.SetEnabled(true);
    TransportInput input(loop, ends[0], log, run);
    loop.RunUntil([&input] { return input.Ended(); });
    ::close(ends[0]);
    writer.join();
    return ticks;
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
        {"sleep 100",          ""}, // the loop goes on meanwhile
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
    for (const Input kind : {Input::Pipe, Input::File}) {
        SCOPED_TRACE(kind == Input::Pipe ? "pipe" : "file");
        std::vector<std::string> seen;
        Log log(LogLevel::Warning,
                [&](LogLevel, std::string_view) { seen.emplace_back("warning"); });
        const int ticks = ReadScript(kind, script, log, [&](const InputCommand& command) {
            seen.push_back(Shown(command));
        });
        EXPECT_EQ(seen, expected);
        EXPECT_GE(ticks, 5) << "the sleep held up the loop";
    }
}

TEST(TransportInput, JunkLinesAreEchoedCutAndTheNextLineIsRead) {
    const std::string kJunk(100'000, 'x'); // longer than any command line: not held whole
    const std::string kShortJunk(1'000, 'y');
    std::vector<std::string> warnings;
    std::vector<std::string> seen;
    Log log(LogLevel::Warning,
            [&](LogLevel, std::string_view text) { warnings.emplace_back(text); });
    ReadScript(Input::Pipe, kJunk + "\n" + kShortJunk + "\nnext\n", log,
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
