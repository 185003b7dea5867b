// lumd's standard input: one script of the stand-in host's words read line by line, each line
// giving lumd's command or a warning, quit ending the reading.
#include "tools/lumd/TransportInput.h"
#include "tools/lumd/WorkerInbox.h"

#include <gtest/gtest.h>
#include <sstream>

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
        {"brightness 3",       "brightness 3"},
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
    std::istringstream input(script);
    ReadTransportInput(input, log,
                       [&](const InputCommand& command) { seen.push_back(Shown(command)); });
    EXPECT_EQ(seen, expected);
}

} // namespace
} // namespace lum::lumd
