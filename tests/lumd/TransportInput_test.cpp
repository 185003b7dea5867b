// lumd's standard input: one script of the stand-in host's words read line by line, each line
// giving lumd's command or a warning, quit ending the reading.
#include "apps/lumd/TransportInput.h"
#include "apps/lumd/WorkerInbox.h"

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
    std::istringstream input(script);
    ReadTransportInput(input, log,
                       [&](const InputCommand& command) { seen.push_back(Shown(command)); });
    EXPECT_EQ(seen, expected);
}

TEST(TransportInput, JunkLinesAreEchoedCutAndTheNextLineIsRead) {
    const std::string kJunk(100'000, 'x'); // longer than any command line: not held whole
    const std::string kShortJunk(1'000, 'y');
    std::vector<std::string> warnings;
    std::vector<std::string> seen;
    Log log(LogLevel::Warning,
            [&](LogLevel, std::string_view text) { warnings.emplace_back(text); });
    std::istringstream input(kJunk + "\n" + kShortJunk + "\nnext\n");
    ReadTransportInput(input, log,
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
