// lumd's messages for the journal: each line with its syslog priority when standard error is the
// stream JOURNAL_STREAM names, plain as "lumd: LEVEL: text" when it names another.
#include "LumdBed.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace lum::lumd::testing {
namespace {

using namespace std::chrono_literals;

/// The "device:inode" of the file at `path`.
std::string StreamOf(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino);
}

TEST(LumdJournal, EachLineWithItsPriorityWhenStandardErrorIsTheJournal) {
    struct Case {
        const char* Name;
        bool Journal;                   ///< JOURNAL_STREAM names lumd's standard error
        bool DamagedSettings;           ///< lumd refuses its settings and ends
        std::vector<std::string> Lines; ///< the starts of lines the output holds
        std::string LinePrefix;         ///< what every line starts with
    };
    const Case cases[] = {
        {"the journal",
         true,
         false,
         {"<6>following ", "<7>display switched on", "<4>display device gone: "},
         "<"},
        {"another stream",
         false,
         false,
         {"lumd: info: following ", "lumd: debug: display switched on",
          "lumd: warning: display device gone: "},
         "lumd: "},
        {"an error in the journal", true, true, {"<3>"}, "<3>"},
    };
    for (const Case& c : cases) {
        LumdBed bed;
        const std::string log = bed.Path("lumd.log");
        std::ofstream(log).close();
        setenv("JOURNAL_STREAM", c.Journal ? StreamOf(log).c_str() : "1:1", 1);
        if (c.DamagedSettings) {
            std::filesystem::resize_file(bed.SettingsFile(), 100);
        }
        LumdProcess& lumd = bed.Start({"--playlist", WritePlaylist(bed.Path("music"))});
        unsetenv("JOURNAL_STREAM");
        if (!c.DamagedSettings) {
            ASSERT_TRUE(bed.WaitForStart()) << c.Name << ": " << lumd.Output();
            bed.Line().Unplug();
            ASSERT_TRUE(lumd.WaitForOutput("display device gone", 5s)) << c.Name;
            lumd.Signal(SIGTERM);
        }
        ASSERT_TRUE(lumd.WaitForExit(10s)) << c.Name;
        std::istringstream output(lumd.Output());
        std::vector<std::string> lines;
        for (std::string line; std::getline(output, line);) {
            EXPECT_TRUE(line.starts_with(c.LinePrefix)) << c.Name << ": " << line;
            lines.push_back(line);
        }
        for (const std::string& expected : c.Lines) {
            EXPECT_TRUE(std::ranges::any_of(
                lines, [&](const std::string& line) { return line.starts_with(expected); }))
                << c.Name << ": no line starts with " << expected << " in\n"
                << lumd.Output();
        }
    }
}

} // namespace
} // namespace lum::lumd::testing
