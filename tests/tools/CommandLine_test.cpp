// The tools' command line: what each kind of option and word takes, the commands, and what is
// said of a line that is none.
#include "tools/common/CommandLine.h"

#include <gtest/gtest.h>

namespace lum::tools {
namespace {

using Words = std::vector<std::string>;

struct LineCase {
    Words Arguments;
    std::string Outcome; ///< "help", "error: MESSAGE" or what was read
};

// What `line` made of `arguments`: "help", "error: MESSAGE", or `read()` once it is read.
template <typename Read>
std::string Outcome(CommandLine& line, const Words& arguments, const Read& read) {
    try {
        if (!line.Parse(arguments)) {
            return "help";
        }
    } catch (const CommandLineError& error) {
        return std::string("error: ") + error.what();
    }
    return read();
}

// A tool's line: a flag, a text, a number, a repeated option, an optional value, a playlist.
std::string ToolOutcome(const Words& arguments) {
    bool quiet = false;
    bool mpd = false;
    std::string port;
    std::string address;
    int width = 20;
    Words sets;
    Words playlist;
    CommandLine line;
    line.Flag("--quiet", quiet);
    line.Value("--port", Text(port));
    line.Value("--width", WholeNumberInto(width, 8, 80));
    line.Values("--set", [&sets](const std::string& value) { sets.push_back(value); });
    line.OptionalValue("--mpd", mpd, address);
    line.Words(playlist, {"PLAYLIST.m3u"}, 1);
    return Outcome(line, arguments, [&] {
        std::string read = playlist.front();
        read += quiet ? " quiet" : "";
        read += port.empty() ? "" : " port=" + port;
        read += width == 20 ? "" : " width=" + std::to_string(width);
        for (const std::string& set : sets) {
            read += " set=" + set;
        }
        return read + (mpd ? " mpd=" + address : "");
    });
}

TEST(CommandLine, ReadsOptionsAndWordsAndSaysWhatIsWrong) {
    const std::string longOption = "--" + std::string(300, 'z');
    const LineCase cases[] = {
        {{"list.m3u"}, "list.m3u"},
        {{"--port", "/dev/pts/3", "--quiet", "list.m3u"}, "list.m3u quiet port=/dev/pts/3"},
        {{"list.m3u", "--port", "-"}, "list.m3u port=-"},
        {{"--port=-x", "--width=8", "-5"}, "-5 port=-x width=8"},
        {{"--port", "--width", "list.m3u"}, "error: --port: needs a value"},
        {{"--set", "a", "list.m3u", "--set", "b=c"}, "list.m3u set=a set=b=c"},
        {{"--mpd", "--quiet", "list.m3u"}, "list.m3u quiet mpd="},
        {{"--mpd", "box:6600", "list.m3u"}, "list.m3u mpd=box:6600"},
        {{"--quiet", "--", "--x.m3u"}, "--x.m3u quiet"},
        {{"--help"}, "help"},
        {{"-h", "--bogus"}, "help"},
        {{"list.m3u", "--help", "more.m3u"}, "help"},
        {{"--bogus", "list.m3u"}, "error: --bogus: unknown option"},
        {{"--bogus=1", "list.m3u"}, "error: --bogus: unknown option"},
        {{"list.m3u", "-x"}, "error: -x: unknown option"},
        {{longOption},
         "error: --" + std::string(198, 'z') + "... (302 bytes, cut): unknown option"},
        {{"list.m3u", "--port"}, "error: --port: needs a value"},
        {{"--port", "", "list.m3u"}, "error: --port: needs a value"},
        {{"--port", "a", "--port", "b", "list.m3u"}, "error: --port: given twice"},
        {{"--quiet", "--quiet", "list.m3u"}, "error: --quiet: given twice"},
        {{"--quiet=no", "list.m3u"}, "error: --quiet no: takes no value"},
        {{"--width", "0", "list.m3u"}, "error: --width 0: must be a whole number from 8 to 80"},
        {{"--width=81", "list.m3u"}, "error: --width 81: must be a whole number from 8 to 80"},
        {{"--width", "\x01x", "list.m3u"},
         "error: --width \\x01x: must be a whole number from 8 to 80"},
        {{"a.m3u", "b.m3u"}, "error: b.m3u: unexpected argument"},
        {{"--port", "x"}, "error: missing PLAYLIST.m3u"},
        {{""}, "error: empty argument for PLAYLIST.m3u"},
    };
    for (const LineCase& c : cases) {
        EXPECT_EQ(ToolOutcome(c.Arguments), c.Outcome) << ::testing::PrintToString(c.Arguments);
    }
}

// A line of commands: one that takes a file, one that takes an option.
std::string CommandOutcome(const Words& arguments) {
    Words files;
    int ticks = 1;
    CommandLine line;
    line.Command("dump").Words(files, {"FILE"}, 1);
    line.Command("preview").Value("--ticks", WholeNumberInto(ticks, 0, 9));
    return Outcome(line, arguments, [&] {
        std::string read = line.CommandGiven();
        for (const std::string& file : files) {
            read += " " + file;
        }
        return read + (ticks == 1 ? "" : " ticks=" + std::to_string(ticks));
    });
}

TEST(CommandLine, TakesOneCommandWithItsOwnOptionsAndWords) {
    const LineCase cases[] = {
        {{"dump", "a.ini"}, "dump a.ini"},
        {{"dump", "preview"}, "dump preview"},
        {{"preview", "--ticks", "3"}, "preview ticks=3"},
        {{"preview"}, "preview"},
        {{"dump", "--help"}, "help"},
        {{}, "error: no command given"},
        {{"frob", "a.ini"}, "error: frob: unknown command"},
        {{"--frob"}, "error: --frob: unknown option"},
        {{"dump"}, "error: dump: missing FILE"},
        {{"dump", "a.ini", "b.ini"}, "error: dump: b.ini: unexpected argument"},
        {{"dump", "--ticks", "3"}, "error: --ticks: unknown option"},
        {{"preview", "a.ini"}, "error: preview: a.ini: unexpected argument"},
        {{"preview", "--ticks", "10"}, "error: --ticks 10: must be a whole number from 0 to 9"},
    };
    for (const LineCase& c : cases) {
        EXPECT_EQ(CommandOutcome(c.Arguments), c.Outcome) << ::testing::PrintToString(c.Arguments);
    }
}

} // namespace
} // namespace lum::tools
