// Input lines in bounded memory: the splitter fed in chunks of any size, and the reader of a
// stream on it.
#include "tools/common/InputLines.h"

#include <gtest/gtest.h>
#include <sstream>
#include <vector>

namespace lum::tools {
namespace {

// A line as the tests expect it: its kept start and its whole length.
struct Line {
    std::string Start;
    std::size_t Bytes;
    friend bool operator==(const Line&, const Line&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Line& line) {
        return out << "'" << line.Start.substr(0, 20) << "' (" << line.Bytes << " bytes)";
    }
};

Line Of(const InputLine& line) {
    return {line.Start, line.Bytes};
}

TEST(LineSplitter, GivesEachLineWhateverTheChunks) {
    const std::string longest(kMaxInputLineBytes, 'x');
    const std::string tooLong = longest + "yz";
    struct Case {
        const char* Name;
        std::vector<std::string> Chunks;
        std::vector<Line> Lines; ///< the last one without its LF, given at the end of input
    };
    const Case cases[] = {
        {"lines in one chunk", {"play\nnext\r\n\n"}, {{"play", 4}, {"next\r", 5}, {"", 0}}},
        {"a line over chunks", {"pl", "ay\nne", "xt\n"}, {{"play", 4}, {"next", 4}}},
        {"the last line without its LF", {"play\nqu", "it"}, {{"play", 4}, {"quit", 4}}},
        {"nothing", {}, {}},
        {"the longest line kept whole", {longest + "\n"}, {{longest, longest.size()}}},
        {"a longer one kept in its start and counted",
         {tooLong.substr(0, 100), tooLong.substr(100), "\nplay\n"},
         {{longest, tooLong.size()}, {"play", 4}}},
    };
    for (const Case& c : cases) {
        LineSplitter splitter;
        std::vector<Line> lines;
        for (const std::string& chunk : c.Chunks) {
            splitter.Feed(chunk, [&lines](const InputLine& line) { lines.push_back(Of(line)); });
        }
        if (const auto last = splitter.End()) {
            lines.push_back(Of(*last));
        }
        EXPECT_EQ(lines, c.Lines) << c.Name;
    }
}

TEST(ReadInputLine, ReadsAStreamToEachLfAndNoFurther) {
    std::istringstream input("play\n\n" + std::string(kMaxInputLineBytes + 5, 'y') + "\nquit");
    std::vector<Line> lines;
    while (const auto line = ReadInputLine(input)) {
        lines.push_back(Of(*line));
    }
    const std::vector<Line> expected = {
        {"play", 4},
        {"", 0},
        {std::string(kMaxInputLineBytes, 'y'), kMaxInputLineBytes + 5},
        {"quit", 4}};
    EXPECT_EQ(lines, expected);
}

} // namespace
} // namespace lum::tools
