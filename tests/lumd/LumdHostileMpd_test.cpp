// The lumd program against an MPD that misbehaves, a scripted fake on a local socket: connections
// that break right after they were made (a line too long for libmpdclient, a close in the middle
// of an answer) come once a second and make one warning; a server that never lets go (no answer
// to "noidle", "changed:" lines without end, no welcome) cannot hold up the quit. And the entry
// files such a server names: only regular files below the music folder are read, and an entry
// without a tag of its own shows the server's tags.
#include "CaseName.h"
#include "FakeMpd.h"
#include "LumdBed.h"
#include "TestMusic.h"

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <stdexcept>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace lum::lumd::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

EventTest LineHolds(std::size_t line, const std::string& text) {
    return [=](const LineEvent& e) {
        return e.IsFrame() && e.Lines[line].find(text) != std::string::npos;
    };
}

// --- A server that breaks the connection or never lets go -----------------------------------

using Reply = std::optional<FakeReply>;

struct HostileCase {
    const char* Name;
    friend void PrintTo(const HostileCase& c, std::ostream* out) { *out << c.Name; }
    Reply (*Script)(const std::string& command, int connection);
    const char* Command;  ///< sent on lumd's input just before the quit; empty: none
    std::size_t Warnings; ///< one per outage
};

class LumdMeetsAHostileMpd : public ::testing::TestWithParam<HostileCase> {};

TEST_P(LumdMeetsAHostileMpd, ReconnectsOnceASecondWarnsOncePerOutageAndQuitsAtOnce) {
    const HostileCase& c = GetParam();
    LumdBed bed;
    FakeMpd server(bed.Path("mpd.socket"), bed.Path("music"), {"a.mp3", "Album"}, c.Script);
    const auto started = Clock::now();
    LumdProcess& lumd = bed.Start({"--mpd", server.Socket()});
    ASSERT_TRUE(bed.Line().WaitFor(0, AnyFrame(), 8s)) << lumd.Output();
    std::this_thread::sleep_until(started + 3s);
    if (*c.Command != '\0') {
        lumd.Send(c.Command);
        std::this_thread::sleep_for(200ms);
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    EXPECT_LE(static_cast<double>(server.Connects().size()), seconds + 1.5)
        << "connections in " << seconds << " s";

    const auto quit = Clock::now();
    lumd.Signal(SIGTERM);
    EXPECT_EQ(lumd.WaitForExit(3s), 0) << lumd.Output();
    const auto took = std::chrono::duration<double>(Clock::now() - quit).count();
    EXPECT_LT(took, 1.0) << "the quit took " << took << " s";
    EXPECT_EQ(Count(lumd.Output(), "lumd: warning:"), c.Warnings) << lumd.Output();
    std::this_thread::sleep_for(100ms);
    const std::vector<LineEvent> events = bed.Line().EventsFrom(0);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().Lines,
              std::vector<std::string>(kTestLines, std::string(kTestWidth, ' ')))
        << "the blank frame last";
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, LumdMeetsAHostileMpd, ::testing::Values(
    HostileCase{"TenMegabyteLine", [](const std::string& command, int) -> Reply {
                    if (command != "currentsong") { return std::nullopt; }
                    return FakeReply{"file: a.mp3\nTitle: " + std::string(10 << 20, 'x') + "\nOK\n"};
                }, "", 1},
    HostileCase{"ClosedMidAnswer", [](const std::string& command, int) -> Reply {
                    if (command != "currentsong") { return std::nullopt; }
                    return FakeReply{"file: a.mp3\nTit", FakeThen::Close};
                }, "", 1},
    HostileCase{"NoAnswerToNoidle", [](const std::string& command, int) -> Reply {
                    if (command != "noidle") { return std::nullopt; }
                    return FakeReply{"", FakeThen::Hang};
                }, "next", 0},
    HostileCase{"EndlessChanges", [](const std::string& command, int) -> Reply {
                    if (!command.starts_with("idle")) { return std::nullopt; }
                    return FakeReply{"", FakeThen::Flood};
                }, "", 0},
    HostileCase{"NoWelcomeAfterALoss", [](const std::string& command, int connection) -> Reply {
                    if (command.empty() && connection > 1) { return FakeReply{"", FakeThen::Hang}; }
                    if (command != "currentsong") { return std::nullopt; }
                    return FakeReply{"", FakeThen::Close};
                }, "", 1}),
    CaseName());
// clang-format on

// --- The files a server names ---------------------------------------------------------------

// Counts the opens of one file, through whatever name it was opened.
class OpenWatch {
public:
    explicit OpenWatch(const std::string& path) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        if (inotify_add_watch(fd_, path.c_str(), IN_OPEN) < 0) {
            throw std::runtime_error("cannot watch " + path);
        }
    }
    ~OpenWatch() { ::close(fd_); }
    OpenWatch(const OpenWatch&) = delete;
    OpenWatch& operator=(const OpenWatch&) = delete;

    int Opens() {
        alignas(inotify_event) char buffer[4096];
        for (ssize_t got; (got = ::read(fd_, buffer, sizeof buffer)) > 0;) {
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
                ++opens_;
            }
        }
        return opens_;
    }

private:
    int fd_;
    int opens_ = 0;
};

enum class Target { Fifo, Terminal, TaggedFile, UntaggedFile };

struct EntryCase {
    const char* Name;
    friend void PrintTo(const EntryCase& c, std::ostream* out) { *out << c.Name; }
    Target Kind;
    const char* Path; ///< the target below the bed's folder (a terminal is a pty of the test's)
    const char* Link; ///< a symbolic link below the bed's folder to the target; empty: none
    const char* Uri;  ///< MPD's name: {target} its absolute path, {relative} from lumd's folder
    bool Read;        ///< whether lumd opens the target
    bool FileTag;     ///< whether the file's album shows, else the server's
};

class LumdReadsEntryFiles : public ::testing::TestWithParam<EntryCase> {};

TEST_P(LumdReadsEntryFiles, OnlyRegularFilesBelowTheMusicFolderElseTheServersTags) {
    const EntryCase& c = GetParam();
    LumdBed bed;
    fs::create_directories(bed.Path("music"));
    fs::create_directories(bed.Path("elsewhere"));
    std::ofstream(bed.Path("music/tagged.mp3"), std::ios::binary)
        << "audio" << Id3v1Tag({.Album = "Tagged Album"});
    std::string target = bed.Path(c.Path);
    int terminal = -1;
    std::atomic<bool> writerThrough = false;
    std::thread writer;
    switch (c.Kind) {
    case Target::Fifo:
        ASSERT_EQ(::mkfifo(target.c_str(), 0600), 0);
        writer = std::thread([&] {
            ::close(::open(target.c_str(), O_WRONLY | O_CLOEXEC)); // waits for a reader
            writerThrough = true;
        });
        break;
    case Target::Terminal:
        terminal = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        ASSERT_TRUE(terminal >= 0 && ::grantpt(terminal) == 0 && ::unlockpt(terminal) == 0);
        target = ::ptsname(terminal);
        break;
    case Target::TaggedFile:
        std::ofstream(target, std::ios::binary) << "audio" << Id3v1Tag({.Album = "File Album"});
        break;
    case Target::UntaggedFile:
        std::ofstream(target, std::ios::binary) << "fLaC" << std::string(200, '\0');
        break;
    }
    if (*c.Link != '\0') {
        fs::create_symlink(target, bed.Path(c.Link));
    }
    OpenWatch watch(target);
    std::string uri = c.Uri;
    if (const auto at = uri.find("{target}"); at != std::string::npos) {
        uri.replace(at, 8, target);
    } else if (uri == "{relative}") {
        uri = fs::relative(target, fs::current_path()).string();
    }

    FakeMpd server(bed.Path("mpd.socket"), bed.Path("music"), {"tagged.mp3", "Player Album"});
    LumdProcess& lumd = bed.Start({"--mpd", server.Socket()});
    EXPECT_TRUE(bed.Line().WaitFor(0, LineHolds(1, "Tagged Album"), 8s)) << lumd.Output();
    const std::size_t mark = bed.Line().Mark();
    server.Play({uri, "Player Album"});
    const std::string album = c.FileTag ? "File Album" : "Player Album";
    const auto shown = bed.Line().WaitFor(mark, LineHolds(1, album), 3s);
    EXPECT_TRUE(shown) << "no frame shows " << album << " for " << uri;
    EXPECT_EQ(watch.Opens() > 0, c.Read) << watch.Opens() << " opens of " << target;

    if (c.Kind == Target::Fifo) {
        EXPECT_FALSE(writerThrough) << "the writer was let through";
        ::close(::open(target.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        writer.join();
    }
    if (terminal >= 0) {
        ::close(terminal);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, LumdReadsEntryFiles, ::testing::Values(
    EntryCase{"FifoWithAWriter", Target::Fifo,         "music/fifo.mp3",       "",               "{target}",        false, false},
    EntryCase{"Terminal",        Target::Terminal,     "",                     "",               "{target}",        false, false},
    EntryCase{"RelativeName",    Target::TaggedFile,   "cwd.mp3",              "",               "{relative}",      false, false},
    EntryCase{"DotDotEscape",    Target::TaggedFile,   "outside.mp3",          "",               "../outside.mp3",  false, false},
    EntryCase{"FileUrlOutside",  Target::TaggedFile,   "outside.mp3",          "",               "file://{target}", false, false},
    EntryCase{"LinkInside",      Target::TaggedFile,   "elsewhere/linked.mp3", "music/link.mp3", "link.mp3",        true,  true},
    EntryCase{"FileWithoutTag",  Target::UntaggedFile, "music/plain.flac",     "",               "plain.flac",      true,  false}),
    CaseName());
// clang-format on

} // namespace
} // namespace lum::lumd::testing
