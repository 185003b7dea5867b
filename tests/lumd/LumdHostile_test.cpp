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
#include <sys/stat.h>
#include <systemd/sd-bus.h>
#include <thread>

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
    double Length; ///< microseconds; the numbers go out as doubles, as some players send them
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
    sd_bus_message* reply = nullptr;
    int result = sd_bus_message_new_method_return(call, &reply);
    if (result >= 0) {
        result = sd_bus_message_append(
            reply, "a{sv}", 4, "PlaybackStatus", "s", "Playing", "Rate", "d", c.Rate, "Position",
            "d", c.Position, "Metadata", "a{sv}", 3, "xesam:title", "s", title.c_str(),
            "mpris:length", "d", c.Length, "xesam:trackNumber", "d", c.Track);
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

    // Frames at the refresh's pace, the elapsed time running on (no length is known), lumd calm.
    const std::size_t mark = bed.Line().Mark();
    const double cpuBefore = CpuSeconds(lumd.Pid());
    std::this_thread::sleep_for(2500ms);
    EXPECT_LT(CpuSeconds(lumd.Pid()) - cpuBefore, 0.5) << "processor seconds in 2.5 s";
    const std::vector<LineEvent> frames = bed.Line().EventsFrom(mark);
    ASSERT_GE(frames.size(), 6U);
    const std::regex time("PLAY  00:(\\d\\d) *");
    std::smatch from;
    std::smatch to;
    ASSERT_TRUE(std::regex_match(frames.front().Lines[1], from, time) &&
                std::regex_match(frames.back().Lines[1], to, time))
        << frames.front().Lines[1] << "|" << frames.back().Lines[1];
    EXPECT_NEAR(std::stoi(to[1]) - std::stoi(from[1]), 2, 1);
    lumd.Signal(SIGTERM);
    EXPECT_EQ(lumd.WaitForExit(1s), 0);
    const std::string output = lumd.Output();
    EXPECT_NE(output.find(kEscapedText), std::string::npos) << output;
    EXPECT_EQ(output.find_first_of("\x1B\x07\r"), std::string::npos) << output;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, LumdUnderAHostilePlayer, ::testing::Values(
    //          Name                          TitleBytes Length         Rate      Position Track
    HostileCase{"MegabyteTitle",              1 << 20,   0,             1,        0,       1},
    HostileCase{"SixteenMegabyteTitle",       16 << 20,  0,             1,        0,       1},
    HostileCase{"NegativeLength",             10,        -4294967196e6, 1,        0,       1},
    HostileCase{"LengthPastInt64",            10,        1e300,         1,        0,       1},
    HostileCase{"RateNotANumber",             10,        0,             NAN,      0,       1},
    HostileCase{"RateInfinite",               10,        0,             INFINITY, 0,       1},
    HostileCase{"RateNegative",               10,        0,             -2,       0,       1},
    HostileCase{"PositionAndTrackNotNumbers", 10,        0,             1,        NAN,     NAN}),
    CaseName());
// clang-format on

struct StreamCase {
    const char* Name;
    friend void PrintTo(const StreamCase& c, std::ostream* out) { *out << c.Name; }
    const char* Shell;  ///< how bash, leading a session on script's terminal, starts lumd ("$@")
    bool ReaderLeaves;  ///< standard error is the FIFO $f, whose reader goes and comes back
    const char* Logged; ///< what the terminal shows of lumd's messages
};

class LumdStandardStreams : public ::testing::TestWithParam<StreamCase> {};

TEST_P(LumdStandardStreams, NeitherTakeTheLogToTheDisplayNorStopOrEndLumd) {
    const StreamCase& c = GetParam();
    LumdBed bed;
    const std::string fifo = bed.Path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    const std::string command = std::string("bash -c 'f=$1; shift; ") + c.Shell +
                                " & echo \"pid $!\"; wait $!; echo \"status $?\"' bash " + fifo +
                                " " LUMD_PROGRAM " --playlist " + WritePlaylist(bed.Path("m")) +
                                " --port " + bed.Line().Link() + " --settings " +
                                bed.SettingsFile() + " --foreground --log-level debug";
    Child script({"script", "-qefc", command, "/dev/null"}, bed.Path("terminal"));
    const auto shown = [&] {
        std::ifstream in(bed.Path("terminal"));
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const auto shows = [&](const std::string& text) {
        return WaitFor([&] { return shown().find(text) != std::string::npos; }, 5s);
    };
    pid_t lumd = -1;
    const std::shared_ptr<void> end(nullptr, [&](void*) {
        if (lumd > 0 && shown().find("status ") == std::string::npos) {
            kill(lumd, SIGKILL);
        }
        close(reader);
    });
    ASSERT_TRUE(shows("\n")) << shown();
    lumd = std::stoi(shown().substr(shown().find("pid ") + 4));
    ASSERT_TRUE(bed.WaitForStart()) << shown();
    EXPECT_TRUE(shows(c.Logged)) << shown();
    if (c.ReaderLeaves) {
        close(reader);
        kill(lumd, SIGHUP); // its message finds no reader
        std::this_thread::sleep_for(500ms);
        reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        kill(lumd, SIGHUP);
        std::string logged;
        EXPECT_TRUE(WaitFor(
            [&] {
                char chunk[4096];
                const ssize_t got = read(reader, chunk, sizeof chunk);
                logged.append(chunk, static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
                return logged.find("settings read again") != std::string::npos;
            },
            3s))
            << logged;
    }
    kill(lumd, SIGTERM);
    EXPECT_TRUE(shows("status 0")) << shown();
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
    StreamCase{"StandardErrorClosed",      "\"$@\" 2>&-",                  false, ""},
    StreamCase{"StandardErrorReaderGoes",  "\"$@\" 2>\"$f\"",              true,  ""},
    StreamCase{"InTheTerminalsBackground", "set -m; stty tostop; \"$@\"", false,
               "lumd: info: commands are not read"}),
    CaseName());
// clang-format on

} // namespace
} // namespace lum::lumd::testing
