// lumd under a hostile MPRIS player (a huge title, numbers out of range, an error text for a
// terminal), with standard streams closed, unread, or the terminal of a job in the background.
#include "CaseName.h"
#include "LumdBed.h"
#include "SessionBus.h"

#include <algorithm>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <systemd/sd-bus.h>
#include <thread>

namespace lum::lumd::testing {
namespace {

using namespace std::chrono_literals;

// Retitles and clears a terminal, returns the cursor (CR, the C1 CSI), deletes and fakes a line.
constexpr const char* kHostileText = "\x1B]0;owned\x07\x1B[2J\r\xC2\x9B"
                                     "2K\x7Flumd: error: fake";
constexpr const char* kEscapedText =
    "\\x1B]0;owned\\x07\\x1B[2J\\x0D\\xC2\\x9B2K\\x7Flumd: error: fake";

struct HostilePlayerCase {
    const char* Name;
    friend void PrintTo(const HostilePlayerCase& c, std::ostream* out) { *out << c.Name; }
    const char* Shell;  ///< how bash, leading the session of script's terminal, starts lumd ("$@")
    const char* Logged; ///< what the terminal shows of lumd's messages, escaped
    std::size_t TitleBytes;
    double Length; ///< microseconds; the numbers go out as doubles, as some players send them
    double Rate;
    double PositionAndTrack;
};

// The player: GetAll answers the case's properties, every other call the hostile error.
int AnswerAsHostilePlayer(sd_bus_message* call, void* data, sd_bus_error* error) {
    const auto& c = *static_cast<const HostilePlayerCase*>(data);
    if (!sd_bus_message_is_method_call(call, "org.freedesktop.DBus.Properties", "GetAll")) {
        return sd_bus_error_set(error, "org.example.Hostile", kHostileText);
    }
    return sd_bus_reply_method_return(call, "a{sv}", 4, "PlaybackStatus", "s", "Playing", "Rate",
                                      "d", c.Rate, "Position", "d", c.PositionAndTrack, "Metadata",
                                      "a{sv}", 3, "xesam:title", "s",
                                      std::string(c.TitleBytes, 'T').c_str(), "mpris:length", "d",
                                      c.Length, "xesam:trackNumber", "d", c.PositionAndTrack);
}

class LumdUnderAHostilePlayer : public ::testing::TestWithParam<HostilePlayerCase> {};

TEST_P(LumdUnderAHostilePlayer, ShowsTheTrackLogsItsTextsEscapedAndQuits) {
    if (const std::string missing = SessionBus::Missing(); !missing.empty()) {
        GTEST_SKIP() << "missing: " << missing;
    }
    const HostilePlayerCase& c = GetParam();
    SessionBus bus(1);
    sd_bus* player = nullptr;
    ASSERT_GE(sd_bus_open_user(&player), 0);
    const std::unique_ptr<sd_bus, sd_bus* (*)(sd_bus*)> closer(player, sd_bus_flush_close_unref);
    ASSERT_TRUE(sd_bus_add_object(player, nullptr, "/org/mpris/MediaPlayer2", AnswerAsHostilePlayer,
                                  const_cast<HostilePlayerCase*>(&c)) >= 0 &&
                sd_bus_request_name(player, "org.mpris.MediaPlayer2.hostile", 0) >= 0);
    const std::jthread serving([player](const std::stop_token& stop) {
        for (; !stop.stop_requested(); sd_bus_wait(player, 50'000)) {
            while (sd_bus_process(player, nullptr) > 0) {
            }
        }
    });
    LumdBed bed;
    const std::string port = bed.Path("display\xFF"); // logged, its name no UTF-8
    std::filesystem::create_symlink(bed.Line().Link(), port);
    Settings settings = TestSettings();
    settings.Slot(1, 2).Template = "%status %winampzeitr";
    bed.WriteSettings(settings);
    const std::string command =
        std::string("bash -c '") + c.Shell +
        " & echo \"pid $!\"; wait $!; echo \"status $?\"' bash " LUMD_PROGRAM " --mpris --port " +
        port + " --settings " + bed.SettingsFile() + " --foreground --log-level debug";
    Child script({"script", "-qefc", command, "/dev/null"}, bed.Path("terminal"));
    const auto shown = [&] {
        std::ifstream in(bed.Path("terminal"));
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const auto shows = [&](const std::string& text, std::chrono::milliseconds timeout = 5s) {
        return WaitFor([&] { return shown().find(text) != std::string::npos; }, timeout);
    };
    ASSERT_TRUE(shows("\n")) << shown();
    const pid_t lumd = std::stoi(shown().substr(shown().find("pid ") + 4));
    const std::shared_ptr<void> end(nullptr, [&](void*) {
        if (shown().find("status ") == std::string::npos) {
            kill(lumd, SIGKILL);
        }
    });
    const auto first = bed.WaitForStart();
    ASSERT_TRUE(first) << shown();
    EXPECT_TRUE(LineStarts(0, "TTTTTTTTTT")(*first)) << first->Lines[0];
    // A closed standard error is /dev/null, not the display's tty or the bus's socket.
    const auto errors = std::filesystem::read_symlink("/proc/" + std::to_string(lumd) + "/fd/2");
    EXPECT_EQ(errors == "/dev/null", std::string_view(c.Shell).ends_with("2>&-")) << errors;
    // A frame each second, the elapsed time running on: no length is known.
    const std::size_t mark = bed.Line().Mark();
    std::this_thread::sleep_for(2500ms);
    std::vector<std::string> times;
    for (const LineEvent& frame : bed.Line().EventsFrom(mark)) {
        times.push_back(frame.Lines.at(1));
    }
    ASSERT_GE(times.size(), 2U);
    EXPECT_TRUE(times.front().starts_with("PLAY  00:") && std::ranges::is_sorted(times) &&
                times.front() != times.back())
        << ::testing::PrintToString(times);
    EXPECT_TRUE(shows(c.Logged)) << shown();
    EXPECT_EQ(shown().find_first_of("\x1B\x07\xFF"), std::string::npos) << shown();
    kill(lumd, SIGTERM);
    EXPECT_TRUE(shows("status 0", 1s)) << shown();
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, LumdUnderAHostilePlayer, ::testing::Values(
    //          Name                          Shell                    Logged        TitleBytes Length         Rate      PositionAndTrack
    HostilePlayerCase{"MegabyteTitle",              "\"$@\"",                kEscapedText, 1 << 20,   0,             1,        0},
    HostilePlayerCase{"SixteenMegabyteTitle",       "\"$@\"",                kEscapedText, 16 << 20,  0,             1,        0},
    HostilePlayerCase{"NegativeLength",             "\"$@\"",                kEscapedText, 10,        -4294967196e6, 1,        0},
    HostilePlayerCase{"LengthPastInt64",            "\"$@\"",                kEscapedText, 10,        1e300,         1,        0},
    HostilePlayerCase{"RateNotANumber",             "\"$@\"",                kEscapedText, 10,        0,             NAN,      0},
    HostilePlayerCase{"RateInfinite",               "\"$@\"",                kEscapedText, 10,        0,             INFINITY, 0},
    HostilePlayerCase{"RateNegative",               "\"$@\"",                kEscapedText, 10,        0,             -2,       0},
    HostilePlayerCase{"PositionAndTrackNotNumbers", "\"$@\"",                kEscapedText, 10,        0,             1,        NAN},
    // Standard streams closed; read by one that goes after 100 bytes; a background job's terminal.
    HostilePlayerCase{"StandardStreamsClosed",      "\"$@\" <&- >&- 2>&-",   "",           10,        0,             1,        0},
    HostilePlayerCase{"StandardErrorReaderGoes",    "\"$@\" 2> >(head -c 100 >/dev/null)", "", 10,      0,             1,        0},
    HostilePlayerCase{"InTheTerminalsBackground",   "set -m; stty tostop; \"$@\"", "lumd: info: commands are not read",
                                                                                     10,        0,             1,        0}),
    CaseName());
// clang-format on

} // namespace
} // namespace lum::lumd::testing
