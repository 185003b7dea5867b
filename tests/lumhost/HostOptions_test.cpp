#include "tools/lumhost/HostOptions.h"

#include <gtest/gtest.h>
#include <vector>

namespace lum::host {
namespace {

constexpr OptionRule kRules[] = {{"--port", true}, {"--folder", true}, {"--quiet", false}};

TEST(HostOptions, ReadsOptionsAndNamesWhatIsWrong) {
    const std::string longOption = "--" + std::string(300, 'z');
    struct Case {
        std::vector<const char*> Args;
        std::string Problem; ///< empty: parsed
        bool Help = false;
        std::string Port{};
        std::string Playlist{};
    };
    const Case cases[] = {
        {{"list.m3u"}, "", false, "", "list.m3u"},
        {{"--port", "/dev/pts/3", "--quiet", "list.m3u"}, "", false, "/dev/pts/3", "list.m3u"},
        {{"list.m3u", "--port", "-"}, "", false, "-", "list.m3u"},
        {{"--help"}, "", true},
        {{"-h", "--bogus"}, "", true},
        {{"list.m3u", "--help", "more.m3u"}, "", true},
        {{"--bogus", "list.m3u"}, "unknown option --bogus"},
        {{"--port"}, "option --port needs a value"},
        {{"--port", "", "list.m3u"}, "option --port needs a value"},
        {{"--port", "a", "--port", "b", "list.m3u"}, "option --port given twice"},
        {{"--quiet", "--quiet", "list.m3u"}, "option --quiet given twice"},
        {{"a.m3u", "b.m3u"}, "more than one playlist: b.m3u"},
        {{"--folder", "x"}, "no playlist given"},
        {{"", "list.m3u"}, "empty playlist name"},
        {{longOption.c_str()},
         "unknown option --" + std::string(198, 'z') + "... (302 bytes, cut)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Args.empty() ? "" : c.Args[0]);
        const auto parsed = ParseHostOptions(c.Args, kRules);
        if (!c.Problem.empty()) {
            ASSERT_TRUE(std::holds_alternative<std::string>(parsed));
            EXPECT_EQ(std::get<std::string>(parsed), c.Problem);
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<HostOptions>(parsed)) << std::get<std::string>(parsed);
        const HostOptions& options = std::get<HostOptions>(parsed);
        EXPECT_EQ(options.Help, c.Help);
        const auto port = options.Given.find("--port");
        EXPECT_EQ(port == options.Given.end() ? "" : port->second, c.Port);
        EXPECT_EQ(options.Playlist, c.Playlist);
    }
}

} // namespace
} // namespace lum::host
