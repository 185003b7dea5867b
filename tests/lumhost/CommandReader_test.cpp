// The command loop: what it runs and what it says on standard error, long lines included.
#include "tools/common/InputLines.h"
#include "tools/lumhost/CommandReader.h"

#include <gtest/gtest.h>
#include <iostream>
#include <sstream>
#include <vector>

namespace lum::host {
namespace {

struct ReadOutcome {
    std::vector<HostCommandKind> Ran;
    std::string Said;
};

ReadOutcome Read(const std::string& input) {
    std::istringstream stream(input);
    std::ostringstream said;
    ReadOutcome outcome;
    auto* const before = std::cerr.rdbuf(said.rdbuf());
    ReadCommands(stream, [&](const HostCommand& command) {
        outcome.Ran.push_back(command.Kind);
        return command.Kind == HostCommandKind::Seek ? std::string("past the end") : std::string();
    });
    std::cerr.rdbuf(before);
    outcome.Said = said.str();
    return outcome;
}

TEST(CommandReader, EchoesOfInputAreCutAndLongLinesRefused) {
    using K = HostCommandKind;
    const std::string x200(200, 'x');
    const std::string tooLong(tools::kMaxInputLineBytes + 1, 'y');
    struct Case {
        std::string Input;
        std::vector<HostCommandKind> Ran; ///< end of input adds a quit
        std::string Said;
    };
    const Case cases[] = {
        {"play\r\nquit\n", {K::Play, K::Quit}, ""},
        {"frob\n", {K::Quit}, "lumhost: unknown command: frob\n"},
        {"seek 5\n", {K::Seek, K::Quit}, "lumhost: bad argument: seek 5 (past the end)\n"},
        {"\x01" + x200 + "\n",
         {K::Quit},
         "lumhost: unknown command: \\x01" + x200.substr(1) + "... (201 bytes, cut)\n"},
        {"seek " + std::string(300, '9') + "\n",
         {K::Quit},
         "lumhost: bad argument: seek " + std::string(195, '9') + "... (305 bytes, cut)\n"},
        // A line past the limit is refused as a whole; the next one is read as usual.
        {tooLong + "\nplay",
         {K::Play, K::Quit},
         "lumhost: command line too long: " + tooLong.substr(0, 200) + "... (" +
             std::to_string(tooLong.size()) + " bytes, cut)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Input.substr(0, 20));
        const ReadOutcome outcome = Read(c.Input);
        EXPECT_EQ(outcome.Ran, c.Ran);
        EXPECT_EQ(outcome.Said, c.Said);
    }
}

} // namespace
} // namespace lum::host
