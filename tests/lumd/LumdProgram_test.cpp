// The lumd program's own behaviour: input it refuses (with the message and exit code, and
// nothing sent or changed), what it waits for, how it quits (the blank frame last), rereading
// the settings on SIGHUP, and a player's change on the line at once, as fast as the line takes it.
#include "CaseName.h"
#include "LumdBed.h"
#include "MpdServer.h"
#include "SessionBus.h"
#include "TestMusic.h"
#include "common/Windows1252.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>
#include <thread>

namespace lum::lumd::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

std::string FirstTitle() {
    const TestTrack& track = StandardTracks()[0];
    return Utf8ToWindows1252(track.Artist + " - " + track.Title);
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The processes whose command line holds `argument` (lumd, once it has left the terminal).
std::vector<pid_t> ProcessesWith(const std::string& argument) {
    std::vector<pid_t> found;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        const std::string line = ReadBytes(entry.path().string() + "/cmdline");
        if (line.find(std::string(1, '\0') + argument + '\0') != std::string::npos) {
            found.push_back(std::stoi(name));
        }
    }
    return found;
}

// --- Refused input --------------------------------------------------------------------------

enum class SettingsGiven { Good, Damaged, Missing };

struct RefusalCase {
    const char* Name;
    friend void PrintTo(const RefusalCase& c, std::ostream* out) { *out << c.Name; }
    /// lumd's arguments; {list} stands for a playlist of the test music, {display} for the
    /// line's pty, {file} and {folder} for a plain file and a folder, {settings} for the settings
    /// file, {mpd} for a private MPD that wants a password, {bad} for a file that is no playlist,
    /// {config} for a configuration giving a bad baud rate, {noconfig} for a missing one and
    /// {emptyconfig} for an empty one.
    const char* Arguments;
    SettingsGiven Settings;
    bool WithoutBus; ///< the session bus's address names nothing
    int ExitCode;
    const char* Message;
};

class LumdRefuses : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(LumdRefuses, WithItsMessageAndNothingSentOrChanged) {
    const RefusalCase& c = GetParam();
    std::vector<std::string> arguments;
    std::istringstream words(c.Arguments);
    for (std::string word; words >> word;) {
        arguments.push_back(word);
    }
    if (std::ranges::count(arguments, "{mpd}") != 0 &&
        !MissingPrograms(MpdServer::Programs()).empty()) {
        GTEST_SKIP() << "missing: " << MissingPrograms(MpdServer::Programs());
    }
    LumdBed bed;
    std::unique_ptr<MpdServer> server;
    for (std::string& argument : arguments) {
        if (argument == "{list}") {
            argument = WritePlaylist(bed.Path("music"));
        } else if (argument == "{bad}") {
            argument = bed.Path("bad.m3u");
            std::ofstream(argument) << "#EXTINF:x,Broken\nfile.mp3\n";
        } else if (argument == "{display}") {
            argument = bed.Line().Link();
        } else if (argument == "{file}") {
            argument = bed.Path("plain");
            std::ofstream(argument) << "not a tty";
        } else if (argument == "{folder}") {
            argument = bed.Path("");
        } else if (argument == "{config}" || argument == "{emptyconfig}") {
            const bool empty = argument == "{emptyconfig}";
            argument = bed.Path(empty ? "empty.conf" : "bad.conf");
            std::ofstream(argument) << (empty ? "" : "[display]\nbaud = 9601\n");
        } else if (argument == "{noconfig}") {
            argument = bed.Path("nothing.conf");
        } else if (argument == "{settings}") {
            argument = bed.SettingsFile();
        } else if (argument == "{mpd}") {
            server = std::make_unique<MpdServer>(30, "s3cret");
            argument = "guess@" + server->Socket();
        }
    }
    if (c.Settings == SettingsGiven::Damaged) {
        fs::resize_file(bed.SettingsFile(), 100);
    } else if (c.Settings == SettingsGiven::Missing) {
        fs::remove(bed.SettingsFile());
    }
    const std::string settingsBefore = ReadBytes(bed.SettingsFile());
    const char* bus = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const std::optional<std::string> busBefore =
        bus != nullptr ? std::optional<std::string>(bus) : std::nullopt;
    if (c.WithoutBus) {
        setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + bed.Path("no-bus")).c_str(), 1);
    }
    const LumdRun run = RunLumd(arguments, bed.Path("lumd.log"), 10s);
    if (busBefore) {
        setenv("DBUS_SESSION_BUS_ADDRESS", busBefore->c_str(), 1);
    } else {
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }

    EXPECT_EQ(run.ExitCode, c.ExitCode) << run.Output;
    EXPECT_NE(run.Output.find(c.Message), std::string::npos) << run.Output;
    std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(bed.Line().EventsFrom(0).empty()) << "something reached the display";
    EXPECT_EQ(ReadBytes(bed.SettingsFile()), settingsBefore);
}

// Without --foreground lumd leaves the terminal first: the command's exit code is still its own.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, LumdRefuses, ::testing::Values(
    RefusalCase{"BadConfig",       "--playlist {list} --port {display} --config {config} --foreground",
                SettingsGiven::Good,    false, 1, "bad.conf:2:8: display.baud: 9601 is not one of 2400, 4800, 9600, 14400, 19200"},
    RefusalCase{"MissingConfig",   "--playlist {list} --port {display} --config {noconfig} --foreground",
                SettingsGiven::Good,    false, 1, "nothing.conf: cannot be read: no such file"},
    RefusalCase{"NoPortAnywhere",  "--playlist {list} --config {emptyconfig} --foreground",
                SettingsGiven::Good,    false, 1, "empty.conf: no display: set display.port or display.lcdproc, or give --port DEVICE or --lcdproc"},
    RefusalCase{"DeviceIsNoTty",   "--playlist {list} --port /dev/null --settings {settings} --foreground",
                SettingsGiven::Good,    false, 1, "lumd: error: /dev/null: not a tty"},
    RefusalCase{"DeviceIsAFile",   "--playlist {list} --port {file} --settings {settings} --foreground",
                SettingsGiven::Good,    false, 1, "plain: not a tty but a plain file"},
    RefusalCase{"DeviceIsAFolder", "--playlist {list} --port {folder} --settings {settings} --foreground",
                SettingsGiven::Good,    false, 1, ": not a tty but a folder"},
    RefusalCase{"DamagedSettings", "--playlist {list} --port {display} --settings {settings} --foreground",
                SettingsGiven::Damaged, false, 1,
                "gen_lum.ini: Stream-Read-Fehler (the values run past its end at 100 bytes: damaged, or not a settings file)"},
    RefusalCase{"MissingSettings", "--playlist {list} --port {display} --settings {settings} --foreground",
                SettingsGiven::Missing, false, 1, "gen_lum.ini kann nicht ge\xC3\xB6""ffnet werden (no such file)"},
    RefusalCase{"BadPlaylist",     "--playlist {bad} --port {display} --foreground",
                SettingsGiven::Good,    false, 1, "bad.m3u: not a playlist"},
    RefusalCase{"NoSource",        "--port {display} --settings {settings} --foreground",
                SettingsGiven::Good,    false, 2, "lumd: no source"},
    RefusalCase{"WrongPassword",   "--mpd {mpd} --port {display}",
                SettingsGiven::Good,    false, 1, "refuses the password"},
    RefusalCase{"NoSessionBus",    "--mpris --port {display}",
                SettingsGiven::Good,    true,  1, "lumd: error: no D-Bus session bus"}),
    CaseName());
// clang-format on

// --- What lumd waits for --------------------------------------------------------------------

enum class Absent { Device, Server, Player };

struct WaitCase {
    const char* Name;
    friend void PrintTo(const WaitCase& c, std::ostream* out) { *out << c.Name; }
    Absent What;
    const char* Logged; ///< what lumd says while it waits
};

class LumdWaits : public ::testing::TestWithParam<WaitCase> {};

TEST_P(LumdWaits, ForWhatIsNotThereYetAndShowsItOnceItIs) {
    const WaitCase& c = GetParam();
    const std::string missing = c.What == Absent::Server   ? MissingPrograms(MpdServer::Programs())
                                : c.What == Absent::Player ? SessionBus::Missing()
                                                           : std::string();
    if (!missing.empty()) {
        GTEST_SKIP() << "missing: " << missing;
    }
    LumdBed bed;
    std::unique_ptr<SessionBus> bus;
    std::unique_ptr<MpdServer> server;
    const unsigned port = FreeTcpPort();
    if (c.What == Absent::Device) {
        bed.Line().Unplug();
        bed.Start({"--playlist", WritePlaylist(bed.Path("music"))});
    } else if (c.What == Absent::Server) {
        bed.Start({"--mpd", "127.0.0.1:" + std::to_string(port)});
    } else {
        bus = std::make_unique<SessionBus>();
        bed.Start({"--mpris"});
    }
    ASSERT_TRUE(bed.Lumd().WaitForOutput(c.Logged, 5s)) << bed.Lumd().Output();
    std::this_thread::sleep_for(1500ms);
    EXPECT_FALSE(bed.Lumd().WaitForExit(0ms)) << bed.Lumd().Output();

    if (c.What == Absent::Device) {
        bed.Line().PlugIn();
    } else if (c.What == Absent::Server) {
        server = std::make_unique<MpdServer>(30, "", port);
        server->PlayStandardTracks();
    } else {
        bus->StartPlayer({StandardTracks()[0].File});
    }
    const auto shown = bed.Line().WaitFor(0, LineStarts(0, FirstTitle()), 10s);
    EXPECT_TRUE(shown) << bed.Lumd().Output();
    if (c.What == Absent::Device) {
        const std::vector<LineEvent> events = bed.Line().EventsFrom(0);
        ASSERT_FALSE(events.empty());
        EXPECT_TRUE(ControlIs(0x14)(events[0])) << "the start sequence on the device";
    }
    EXPECT_EQ(bed.Lumd().Output().find("error"), std::string::npos) << bed.Lumd().Output();
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, LumdWaits, ::testing::Values(
    WaitCase{"Device", Absent::Device, "(no such device); looking again every second"},
    WaitCase{"Server", Absent::Server, "cannot be reached"},
    WaitCase{"Player", Absent::Player, "no MPRIS player on the session bus; waiting for one"}),
    CaseName());
// clang-format on

// --- Quitting -------------------------------------------------------------------------------

enum class QuitBy { Sigterm, Sigint, Command, SigtermDetached, SigtermWhileWaiting, SigtermBusy };

struct QuitCase {
    const char* Name;
    friend void PrintTo(const QuitCase& c, std::ostream* out) { *out << c.Name; }
    QuitBy By;
};

class LumdQuits : public ::testing::TestWithParam<QuitCase> {};

TEST_P(LumdQuits, WithTheBlankFrameLast) {
    const QuitBy by = GetParam().By;
    LumdBed bed;
    const std::string playlist = WritePlaylist(bed.Path("music"));
    if (by == QuitBy::SigtermWhileWaiting) {
        bed.Line().Unplug();
    }
    LumdProcess& lumd = bed.Start({"--playlist", playlist}, by != QuitBy::SigtermDetached);
    pid_t detached = -1;
    // A detached lumd is no child of the test: it goes with the test whatever happens.
    const std::unique_ptr<pid_t, void (*)(pid_t*)> endDetached(&detached, [](pid_t* pid) {
        if (*pid > 0) {
            kill(*pid, SIGKILL);
        }
    });
    if (by == QuitBy::SigtermDetached) {
        ASSERT_EQ(lumd.WaitForExit(5s), 0) << "the command ends once lumd runs";
        const std::vector<pid_t> running = ProcessesWith(bed.Line().Link());
        ASSERT_EQ(running.size(), 1U);
        detached = running[0];
    }
    if (by == QuitBy::SigtermWhileWaiting) {
        ASSERT_TRUE(lumd.WaitForOutput("looking again every second", 5s));
    } else {
        const auto shown =
            by == QuitBy::SigtermBusy ? bed.WaitForStart() : bed.Line().WaitFor(0, AnyFrame(), 5s);
        ASSERT_TRUE(shown) << lumd.Output();
    }
    // Busy: a change every 5 ms for 3 s, on the line as it is free, within what 9600 baud carry.
    const std::size_t mark = bed.Line().Mark();
    const auto start = Clock::now();
    for (int change = 0; by == QuitBy::SigtermBusy && Clock::now() - start < 3s; ++change) {
        lumd.Send(change % 2 == 0 ? "next" : "prev");
        std::this_thread::sleep_for(5ms);
    }
    std::size_t bytes = 0;
    for (const LineEvent& event : bed.Line().EventsFrom(mark)) {
        bytes += event.At - start >= 3s ? 0 : event.IsFrame() ? kTestWidth * kTestLines : 1;
    }
    EXPECT_LE(bytes, 3 * 960 + kTestWidth * kTestLines);

    switch (by) {
    case QuitBy::Sigterm:
    case QuitBy::SigtermWhileWaiting:
    case QuitBy::SigtermBusy:
        lumd.Signal(SIGTERM);
        break;
    case QuitBy::Sigint:
        lumd.Signal(SIGINT);
        break;
    case QuitBy::Command:
        lumd.Send("quit");
        break;
    case QuitBy::SigtermDetached:
        kill(detached, SIGTERM);
        break;
    }
    if (by == QuitBy::SigtermDetached) {
        EXPECT_TRUE(WaitFor([&] { return kill(detached, 0) != 0; }, 3s));
        detached = -1;
    } else {
        EXPECT_EQ(lumd.WaitForExit(3s), 0) << lumd.Output();
    }
    std::this_thread::sleep_for(100ms);
    const std::vector<LineEvent> events = bed.Line().EventsFrom(0);
    if (by == QuitBy::SigtermWhileWaiting) {
        EXPECT_TRUE(events.empty()) << "nothing was sent";
        return;
    }
    ASSERT_FALSE(events.empty());
    const LineEvent& last = events.back();
    EXPECT_EQ(last.Lines, std::vector<std::string>(kTestLines, std::string(kTestWidth, ' ')));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, LumdQuits, ::testing::Values(
    QuitCase{"Sigterm",             QuitBy::Sigterm},
    QuitCase{"Sigint",              QuitBy::Sigint},
    QuitCase{"QuitCommand",         QuitBy::Command},
    QuitCase{"SigtermDetached",     QuitBy::SigtermDetached},
    QuitCase{"SigtermWhileWaiting", QuitBy::SigtermWhileWaiting},
    QuitCase{"SigtermWhileBusy",    QuitBy::SigtermBusy}),
    CaseName());
// clang-format on

// --- Rereading the settings -----------------------------------------------------------------

TEST(LumdRereads, TheSettingsOnSighupAndKeepsThemWhenTheFileIsDamaged) {
    LumdBed bed;
    LumdProcess& lumd = bed.Start({"--playlist", WritePlaylist(bed.Path("music"))});
    ASSERT_TRUE(bed.WaitForStart()) << lumd.Output();

    Settings changed = TestSettings();
    changed.Slot(1, 1).Template = "Reread %titel";
    bed.WriteSettings(changed);
    const std::size_t reread = bed.Line().Mark();
    lumd.Signal(SIGHUP);
    // As the dialog's "OK": CR LF, the initialisation byte, and the start sequence again, with
    // the brightness after it. The refresh runs meanwhile, and the serial component drops a
    // write while another is on its way: on a loaded machine any of these bytes may be dropped,
    // but nothing else comes.
    const auto shown = bed.WaitForStart(reread);
    ASSERT_TRUE(shown) << lumd.Output();
    EXPECT_TRUE(LineStarts(0, "Reread " + FirstTitle())(*shown)) << shown->Lines[0];
    std::vector<std::uint8_t> controls;
    for (const LineEvent& event : bed.Line().EventsFrom(reread)) {
        if (!event.IsFrame() && event.Index < shown->Index) {
            controls.push_back(event.Control);
        }
    }
    const std::vector<std::uint8_t> sent = {'\r', '\n', 0x14, 0x14, '\r', '\n', 0x01};
    auto next = sent.begin();
    for (const std::uint8_t control : controls) {
        next = std::find(next, sent.end(), control);
        ASSERT_NE(next, sent.end()) << ::testing::PrintToString(controls);
        ++next;
    }
    EXPECT_NE(std::find(controls.begin(), controls.end(), 0x14), controls.end())
        << ::testing::PrintToString(controls);
    EXPECT_TRUE(lumd.WaitForOutput("settings read again", 1s));

    fs::resize_file(bed.SettingsFile(), 50);
    const std::size_t damaged = bed.Line().Mark();
    lumd.Signal(SIGHUP);
    ASSERT_TRUE(lumd.WaitForOutput("; the running settings stay", 3s)) << lumd.Output();
    std::this_thread::sleep_for(1500ms); // the position runs on: a frame each second
    const std::vector<LineEvent> after = bed.Line().EventsFrom(damaged);
    ASSERT_GE(after.size(), 1U);
    for (const LineEvent& event : after) {
        EXPECT_TRUE(LineStarts(0, "Reread ")(event)) << "frames as before, nothing else";
    }
    EXPECT_NE(lumd.Output().find("Stream-Read-Fehler"), std::string::npos);
    EXPECT_FALSE(lumd.WaitForExit(0ms));
}

// --- The plug-in's messages in the log ------------------------------------------------------

// A message of the plug-in's code is Windows-1252: the log shows it in UTF-8, the characters of
// 0x80-0x9F too (an initialisation command "€–’" is no number, which the display's start says).
TEST(LumdLogs, ThePluginsMessagesInUtf8) {
    LumdBed bed;
    Settings settings = TestSettings();
    settings.InitCommand = "\x80\x96\x92";
    bed.WriteSettings(settings);
    LumdProcess& lumd = bed.Start({"--playlist", WritePlaylist(bed.Path("music"))});
    EXPECT_TRUE(lumd.WaitForOutput(
        "lumd: error: '\u20ac\u2013\u2019' ist kein g\u00fcltiger Integerwert", 5s))
        << lumd.Output();
}

// --- A change on the line at once -----------------------------------------------------------

// With the longest refresh interval, a track change right after a frame would wait almost a
// second for the next tick; lumd shows it at once and counts the interval from there.
TEST(LumdShowsAChange, AtOnceAndNotAtTheNextTick) {
    if (const std::string missing = MissingPrograms(MpdServer::Programs()); !missing.empty()) {
        GTEST_SKIP() << "missing: " << missing;
    }
    MpdServer server;
    server.PlayStandardTracks();
    LumdBed bed;
    Settings slow = TestSettings();
    slow.UpdateInterval = 999;
    bed.WriteSettings(slow);
    LumdProcess& lumd = bed.Start({"--mpd", server.Socket()});
    const auto first = bed.WaitForStart();
    ASSERT_TRUE(first) << lumd.Output();
    const struct {
        const char* Command;
        std::size_t Track;
    } kChanges[] = {{"next", 1}, {"prev", 0}};
    for (const auto& change : kChanges) {
        const auto tick = bed.Line().WaitFor(bed.Line().Mark(), AnyFrame(), 2s);
        ASSERT_TRUE(tick);
        const std::size_t mark = bed.Line().Mark();
        const auto start = Clock::now();
        server.Mpc({change.Command});
        const TestTrack& track = StandardTracks()[change.Track];
        const auto shown = bed.Line().WaitFor(mark, LineStarts(0, track.Artist + " - "), 2s);
        ASSERT_TRUE(shown);
        EXPECT_LT(shown->At - start, 250ms) << change.Command;
        // The refresh counts from the change: the next frame a whole interval later.
        const auto after = bed.Line().WaitFor(shown->Index + 1, AnyFrame(), 2s);
        ASSERT_TRUE(after);
        EXPECT_GT(after->At - shown->At, 900ms);
    }
}

// The names of lumd's threads.
std::vector<std::string> Threads(pid_t pid) {
    std::vector<std::string> names;
    for (const auto& task : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task")) {
        std::string name = ReadBytes(task.path().string() + "/comm");
        names.push_back(name.substr(0, name.find('\n')));
    }
    std::ranges::sort(names);
    return names;
}

// Playing from MPD with its commands read, lumd runs on three threads: its loop (the display,
// standard input and the signals), the MPD connection and the tty's writer.
TEST(LumdRuns, OnThreeThreadsWhilePlayingFromMpd) {
    if (const std::string missing = MissingPrograms(MpdServer::Programs()); !missing.empty()) {
        GTEST_SKIP() << "missing: " << missing;
    }
    MpdServer server;
    server.PlayStandardTracks();
    LumdBed bed;
    LumdProcess& lumd = bed.Start({"--mpd", server.Socket()});
    ASSERT_TRUE(bed.WaitForStart()) << lumd.Output();
    lumd.Send("next");
    ASSERT_TRUE(bed.Line().WaitFor(bed.Line().Mark(),
                                   LineStarts(0, StandardTracks()[1].Artist + " - "), 2s));
    EXPECT_EQ(Threads(lumd.Pid()), (std::vector<std::string>{"lumd", "lumd-mpd", "tty-writer"}));
}

// The times lumd's threads have gone to sleep so far.
long WakeUps(pid_t pid) {
    long total = 0;
    for (const auto& task : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task")) {
        const std::string status = ReadBytes(task.path().string() + "/status");
        total += std::stol(status.substr(status.find("\nvoluntary_ctxt_switches:") + 25));
    }
    return total;
}

// A change that waits for a display that takes nothing: lumd wakes for the refresh's ticks
// (every 300 ms), not to look at the line.
TEST(LumdShowsAChange, WhenTheDisplayTakesItWithoutPolling) {
    LumdBed bed;
    LumdProcess& lumd = bed.Start({"--playlist", WritePlaylist(bed.Path("music"))});
    ASSERT_TRUE(bed.WaitForStart()) << lumd.Output();
    bed.Line().Hold();
    std::this_thread::sleep_for(400ms); // a refresh's frame now waits for the line
    lumd.Send("next");
    std::this_thread::sleep_for(500ms);
    const long before = WakeUps(lumd.Pid());
    std::this_thread::sleep_for(2s);
    EXPECT_LE(WakeUps(lumd.Pid()) - before, 2 * 10) << "in 2 s, the refresh's ticks about 7";
}

} // namespace
} // namespace lum::lumd::testing
