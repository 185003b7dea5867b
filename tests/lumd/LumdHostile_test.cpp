// lumd against what a hostile player or an unlucky start gives it: an MPRIS player on a private
// bus with huge texts, numbers out of range and an error text that would rewrite a terminal; and
// standard error closed, read by nobody, or a terminal that lumd runs in the background of.
#include "CaseName.h"
#include "LumdBed.h"
#include "SessionBus.h"

#include <cmath>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <thread>

extern char** environ;

namespace lum::lumd::testing {
namespace {

using namespace std::chrono_literals;

// Retitles and clears a terminal, returns the cursor (CR, then the C1 CSI) and fakes a line.
constexpr const char* kHostileText = "\x1B]0;owned\x07\x1B[2J\r\xC2\x9B"
                                     "2Klumd: error: fake";
constexpr const char* kEscapedText = "\\x1B]0;owned\\x07\\x1B[2J\\x0D\\xC2\\x9B2Klumd: error: fake";

// The processor time `pid` has used so far (all its threads), in seconds.
double CpuSeconds(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    const std::string stat((std::istreambuf_iterator<char>(in)), {});
    std::istringstream fields(stat.substr(stat.rfind(')') + 2)); // from field 3 on
    std::string field;
    long long ticks = 0;
    for (int number = 3; number <= 15 && fields >> field; ++number) {
        ticks += number >= 14 ? std::stoll(field) : 0; // utime and stime
    }
    return static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

struct HostileCase {
    const char* Name;
    friend void PrintTo(const HostileCase& c, std::ostream* out) { *out << c.Name; }
    std::size_t TitleBytes;
    std::size_t UrlBytes; ///< after "http://h/"
    double Length;        ///< microseconds; the numbers go out as doubles, as some players send
    double Rate;
    double Position;
    double Track;
};

// The player: GetAll answers the case's properties, every other call the hostile error.
int AnswerAsHostilePlayer(sd_bus_message* call, void* data, sd_bus_error* error) {
    const auto& c = *static_cast<const HostileCase*>(data);
    if (!sd_bus_message_is_method_call(call, "org.freedesktop.DBus.Properties", "GetAll")) {
        return sd_bus_error_set(error, "org.example.Hostile", kHostileText);
    }
    const std::string title(c.TitleBytes, 'T');
    const std::string url = "http://h/" + std::string(c.UrlBytes, 'U');
    sd_bus_message* reply = nullptr;
    int result = sd_bus_message_new_method_return(call, &reply);
    if (result >= 0) {
        result = sd_bus_message_append(
            reply, "a{sv}", 4, "PlaybackStatus", "s", "Playing", "Rate", "d", c.Rate, "Position",
            "d", c.Position, "Metadata", "a{sv}", 4, "xesam:title", "s", title.c_str(), "xesam:url",
            "s", url.c_str(), "mpris:length", "d", c.Length, "xesam:trackNumber", "d", c.Track);
    }
    result = result >= 0 ? sd_bus_send(nullptr, reply, nullptr) : result;
    sd_bus_message_unref(reply);
    return result;
}

class LumdUnderAHostilePlayer : public ::testing::TestWithParam<HostileCase> {};

TEST_P(LumdUnderAHostilePlayer, ShowsTheTrackCalmlyAndLogsTheTextsEscaped) {
    if (const std::string missing = SessionBus::Missing(); !missing.empty()) {
        GTEST_SKIP() << "missing: " << missing;
    }
    const HostileCase& c = GetParam();
    SessionBus bus(1);
    sd_bus* player = nullptr;
    ASSERT_GE(sd_bus_open_user(&player), 0);
    const std::unique_ptr<sd_bus, sd_bus* (*)(sd_bus*)> closer(player, sd_bus_flush_close_unref);
    ASSERT_GE(sd_bus_add_object(player, nullptr, "/org/mpris/MediaPlayer2", AnswerAsHostilePlayer,
                                const_cast<HostileCase*>(&c)),
              0);
    ASSERT_GE(sd_bus_request_name(player, "org.mpris.MediaPlayer2.hostile", 0), 0);
    const std::jthread serving([player](const std::stop_token& stop) {
        while (!stop.stop_requested()) {
            while (sd_bus_process(player, nullptr) > 0) {
            }
            sd_bus_wait(player, 50'000);
        }
    });
    LumdBed bed;
    Settings settings = TestSettings();
    settings.Slot(1, 2).Template = "%status %winampzeitr";
    bed.WriteSettings(settings);
    LumdProcess& lumd = bed.Start({"--mpris"});
    const auto first = bed.WaitForStart();
    ASSERT_TRUE(first) << lumd.Output();
    EXPECT_TRUE(
        LineStarts(0, std::string(std::min<std::size_t>(c.TitleBytes, kTestWidth), 'T'))(*first));

    // Frames at the refresh's pace, the elapsed time running on second by second (no length is
    // known), and lumd calm meanwhile.
    const std::size_t mark = bed.Line().Mark();
    const double cpuBefore = CpuSeconds(lumd.Pid());
    std::this_thread::sleep_for(2500ms);
    EXPECT_LT(CpuSeconds(lumd.Pid()) - cpuBefore, 0.5) << "processor seconds in 2.5 s";
    std::vector<int> seconds;
    const std::regex time("PLAY  (\\d\\d):(\\d\\d) *");
    for (const LineEvent& event : bed.Line().EventsFrom(mark)) {
        std::smatch found;
        EXPECT_TRUE(event.IsFrame() && std::regex_match(event.Lines[1], found, time))
            << event.Lines[1];
        const int second = found.empty() ? -1 : std::stoi(found[1]) * 60 + std::stoi(found[2]);
        if (seconds.empty() || seconds.back() != second) {
            seconds.push_back(second);
        }
    }
    ASSERT_GE(seconds.size(), 2U);
    EXPECT_LT(seconds.front(), 10);
    for (std::size_t i = 1; i < seconds.size(); ++i) {
        EXPECT_EQ(seconds[i], seconds[i - 1] + 1) << ::testing::PrintToString(seconds);
    }
    lumd.Signal(SIGTERM);
    EXPECT_EQ(lumd.WaitForExit(1s), 0);
    const std::string output = lumd.Output();
    EXPECT_NE(output.find(kEscapedText), std::string::npos) << output;
    EXPECT_EQ(output.find_first_of("\x1B\x07\r"), std::string::npos) << output;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, LumdUnderAHostilePlayer, ::testing::Values(
    //          Name                          TitleBytes UrlBytes Length         Rate      Position Track
    HostileCase{"MegabyteTexts",              1 << 20,   1 << 20, 0,             1,        0,       1},
    HostileCase{"SixteenMegabyteTitle",       16 << 20,  1,       0,             1,        0,       1},
    HostileCase{"NegativeLength",             10,        1,       -4294967196e6, 1,        0,       1},
    HostileCase{"LengthPastInt64",            10,        1,       1e300,         1,        0,       1},
    HostileCase{"RateNotANumber",             10,        1,       0,             NAN,      0,       1},
    HostileCase{"RateInfinite",               10,        1,       0,             INFINITY, 0,       1},
    HostileCase{"RateNegative",               10,        1,       0,             -2,       0,       1},
    HostileCase{"PositionAndTrackNotNumbers", 10,        1,       0,             1,        NAN,     NAN}),
    CaseName());
// clang-format on

struct StreamCase {
    const char* Name;
    friend void PrintTo(const StreamCase& c, std::ostream* out) { *out << c.Name; }
    const char* Shell;  ///< bash runs lumd as "$@" with it, its terminal ours; $f is a FIFO
    bool ReaderLeaves;  ///< lumd's standard error is the FIFO, whose reader goes and comes back
    const char* Logged; ///< a message the terminal shows
};

class LumdStandardStreams : public ::testing::TestWithParam<StreamCase> {};

TEST_P(LumdStandardStreams, NeitherTakeTheLogToTheDisplayNorStopOrEndLumd) {
    const StreamCase& c = GetParam();
    LumdBed bed;
    const std::string fifo = bed.Path("stderr");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_TRUE(terminal >= 0 && grantpt(terminal) == 0 && unlockpt(terminal) == 0);
    std::vector<std::string> argv = {"bash",
                                     "-c",
                                     std::string("f=$1; shift; ") + c.Shell +
                                         " & echo \"pid $!\"; wait $!; echo \"status $?\"",
                                     "bash",
                                     fifo,
                                     LUMD_PROGRAM};
    for (const std::string& argument :
         bed.Arguments({"--playlist", WritePlaylist(bed.Path("m"))})) {
        argv.push_back(argument);
    }
    std::vector<char*> pointers;
    for (std::string& argument : argv) {
        pointers.push_back(argument.data());
    }
    pointers.push_back(nullptr);
    // bash leads a session of its own on the terminal, as in a terminal window.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, ptsname(terminal), O_RDWR, 0);
    posix_spawn_file_actions_adddup2(&actions, 0, 1);
    posix_spawn_file_actions_adddup2(&actions, 0, 2);
    pid_t shell = -1;
    ASSERT_EQ(posix_spawnp(&shell, "bash", &actions, &attributes, pointers.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    pid_t lumd = -1;
    std::string shown;
    const std::shared_ptr<void> end(nullptr, [&](void*) {
        if (lumd > 0 && shown.find("status ") == std::string::npos) {
            kill(lumd, SIGKILL);
        }
        kill(shell, SIGKILL);
        waitpid(shell, nullptr, 0);
        close(terminal);
        close(reader);
    });
    std::string logged;
    const auto reads = [](int fd, std::string& text, const std::string& wanted) {
        return WaitFor(
            [&] {
                char chunk[4096];
                for (ssize_t got = 0; (got = read(fd, chunk, sizeof chunk)) > 0;) {
                    text.append(chunk, static_cast<std::size_t>(got));
                }
                return text.find(wanted) != std::string::npos;
            },
            5s);
    };
    ASSERT_TRUE(reads(terminal, shown, "pid ") && reads(terminal, shown, "\n")) << shown;
    lumd = std::stoi(shown.substr(shown.find("pid ") + 4));
    ASSERT_TRUE(bed.WaitForStart()) << shown;
    EXPECT_TRUE(reads(terminal, shown, c.Logged)) << shown;
    if (c.ReaderLeaves) {
        close(reader);
        kill(lumd, SIGHUP); // its messages find no reader
        std::this_thread::sleep_for(500ms);
        reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        kill(lumd, SIGHUP);
        EXPECT_TRUE(reads(reader, logged, "settings read again")) << logged;
    }
    kill(lumd, SIGTERM);
    EXPECT_TRUE(reads(terminal, shown, "status 0")) << shown;
    std::string display;
    for (const LineEvent& event : bed.Line().EventsFrom(0)) {
        for (const std::string& line : event.Lines) {
            display += line;
        }
    }
    EXPECT_EQ(display.find("lumd"), std::string::npos) << display;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, LumdStandardStreams, ::testing::Values(
    StreamCase{"StandardErrorClosed",     "\"$@\" 2>&-",                        false, ""},
    StreamCase{"StandardErrorReaderGoes", "\"$@\" 2>\"$f\"",                    true,  ""},
    StreamCase{"InTheTerminalsBackground", "set -m; stty tostop; \"$@\"",       false,
               "lumd: info: commands are not read"}),
    CaseName());
// clang-format on

} // namespace
} // namespace lum::lumd::testing
