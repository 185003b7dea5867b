// lumd and its MPD source against a scripted fake MPD: connections that break right after they
// were made come once a second with one warning; a server that never lets go cannot hold up the
// quit; only regular files below the music folder are read, an entry without a tag of its own
// shows the server's tags, and a track tag gives its leading number.
#include "CaseName.h"
#include "LumdBed.h"
#include "SourceWatch.h"
#include "TestMusic.h"
#include "apps/lumd/MpdSource.h"
#include "display/Placeholders.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace lum::lumd::testing {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

enum class Then { Listen, Close, Hang, Flood }; // Flood: "changed:" lines without end

// Answers a command (its first word; "" for the greeting) from connection `From` on.
struct Rule {
    std::string Command, Reply;
    Then After = Then::Listen;
    int From = 1;
};

// A fake MPD on a local socket, serving one connection at a time (lumd never holds two): it
// greets, answers status, currentsong (its song's lines) and config (`music`), OK to the rest,
// and holds an idle until Play changes the song or noidle comes; its rules go first.
class FakeMpd {
public:
    FakeMpd(const std::string& socket, std::string music, std::string song,
            std::vector<Rule> rules = {})
        : music_(std::move(music)), song_(std::move(song)), rules_(std::move(rules)) {
        sockaddr_un address{.sun_family = AF_UNIX, .sun_path = {}};
        socket.copy(address.sun_path, sizeof address.sun_path - 1);
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(listener_, 8) != 0) {
            throw std::runtime_error("no fake MPD at " + socket);
        }
        thread_ = std::thread([this] {
            while (!stopping_) {
                Serve(::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC));
            }
        });
    }
    ~FakeMpd() {
        stopping_ = true; // and every blocking call returns
        ::shutdown(listener_, SHUT_RDWR);
        ::shutdown(client_, SHUT_RDWR);
        thread_.join();
        ::close(listener_);
    }
    int Connects() const { return connects_; }
    void Play(std::string song) {
        const std::lock_guard lock(mutex_);
        song_ = std::move(song);
        ++id_;
    }

private:
    bool Send(int fd, std::string_view bytes) {
        return ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == std::ssize(bytes);
    }
    // Whether the connection goes on after `command`; `answer` unless a rule answers it.
    bool Reply(int fd, const std::string& command, std::string_view answer) {
        const auto rule = std::ranges::find_if(rules_, [&](const Rule& r) {
            return command.substr(0, command.find(' ')) == r.Command && connects_ >= r.From;
        });
        if (rule == rules_.end()) {
            return Send(fd, answer);
        }
        bool open = Send(fd, rule->Reply);
        while (open && rule->After == Then::Flood && Send(fd, "changed: player\n")) {
        }
        for (char byte = 0;
             open && rule->After == Then::Hang && !stopping_ && ::recv(fd, &byte, 1, 0) != 0;) {
        }
        return open && rule->After == Then::Listen;
    }
    std::string Answer(const std::string& command) {
        const std::lock_guard lock(mutex_);
        const std::string id = std::to_string(id_);
        return command == "status"        ? "state: play\nsongid: " + id + "\nOK\n"
               : command == "currentsong" ? song_ + "\nId: " + id + "\nOK\n"
               : command == "config"      ? "music_directory: " + music_ + "\nOK\n"
                                          : "OK\n";
    }
    void Serve(int fd) {
        client_ = fd;
        ++connects_;
        const timeval idleCheck{0, 20'000}; // how often an idle looks for a new song
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &idleCheck, sizeof idleCheck);
        bool open = fd >= 0 && Reply(fd, "", "OK MPD 0.23.0\n");
        std::optional<int> idle; // the song the idle began with
        for (std::string input; open && !stopping_;) {
            char buffer[4096];
            const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
            if (got == 0 || (got < 0 && errno != EAGAIN)) {
                break;
            }
            input.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
            if (idle && *idle != id_) {
                idle.reset();
                open = Send(fd, "changed: player\nOK\n");
            }
            for (auto end = input.find('\n'); open && end != input.npos; end = input.find('\n')) {
                const std::string command = input.substr(0, end);
                input.erase(0, end + 1);
                // A noidle after the idle's answer is ignored, as MPD does.
                const bool idling = std::exchange(idle, std::nullopt).has_value();
                if (command.starts_with("idle")) {
                    idle = id_;
                }
                open = Reply(fd, command,
                             command.starts_with("idle") ? ""
                             : command == "noidle"       ? (idling ? "OK\n" : "")
                                                         : Answer(command));
            }
        }
        ::close(fd);
    }

    std::string music_, song_;
    std::vector<Rule> rules_;
    int listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    std::atomic<int> client_ = -1, id_ = 1, connects_ = 0;
    std::atomic<bool> stopping_ = false;
    std::mutex mutex_; ///< guards the song
    std::thread thread_;
};

// --- A server that breaks the connection or never lets go -----------------------------------

struct HostileServerCase {
    const char* Name;
    friend void PrintTo(const HostileServerCase& c, std::ostream* out) { *out << c.Name; }
    std::vector<Rule> Rules;
    const char* Command;     ///< sent on lumd's input just before the quit
    std::ptrdiff_t Warnings; ///< one per outage
};

class LumdMeetsAHostileMpd : public ::testing::TestWithParam<HostileServerCase> {};

TEST_P(LumdMeetsAHostileMpd, ReconnectsOnceASecondWarnsOncePerOutageAndQuitsAtOnce) {
    LumdBed bed;
    FakeMpd server(bed.Path("mpd"), bed.Path("music"), "file: a.mp3", GetParam().Rules);
    const auto started = Clock::now();
    LumdProcess& lumd = bed.Start({"--mpd", bed.Path("mpd")});
    ASSERT_TRUE(bed.Line().WaitFor(0, AnyFrame(), 8s)) << lumd.Output();
    std::this_thread::sleep_until(started + 3s);
    lumd.Send(GetParam().Command);
    std::this_thread::sleep_for(200ms);
    const std::chrono::duration<double> seconds = Clock::now() - started;
    EXPECT_LE(server.Connects(), seconds.count() + 1.5) << "connections in " << seconds.count();
    const auto quit = Clock::now();
    lumd.Signal(SIGTERM);
    EXPECT_EQ(lumd.WaitForExit(3s), 0) << lumd.Output();
    EXPECT_LT(Clock::now() - quit, 1s);
    const std::string output = lumd.Output();
    const std::regex warning("lumd: warning:");
    EXPECT_EQ(std::distance(std::sregex_iterator(output.begin(), output.end(), warning), {}),
              GetParam().Warnings)
        << output;
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(bed.Line().EventsFrom(0).back().Lines,
              std::vector<std::string>(kTestLines, std::string(kTestWidth, ' ')));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, LumdMeetsAHostileMpd, ::testing::Values(
    HostileServerCase{"TenMegabyteLine",     {{"currentsong", "file: a\nTitle: " + std::string(10 << 20, 'x')}}, "", 1},
    HostileServerCase{"ClosedMidAnswer",     {{"currentsong", "file: a\nTit", Then::Close}},                     "", 1},
    HostileServerCase{"NoAnswerToNoidle",    {{"noidle", "", Then::Hang}},                                       "next", 0},
    HostileServerCase{"EndlessChanges",      {{"idle", "", Then::Flood}},                                        "", 0},
    HostileServerCase{"NoWelcomeAfterALoss", {{"currentsong", "", Then::Close}, {"", "", Then::Hang, 2}},        "", 1}),
    CaseName());
// clang-format on

// --- The files a server names, and its track tags -------------------------------------------

struct EntryCase {
    const char* Name;
    friend void PrintTo(const EntryCase& c, std::ostream* out) { *out << c.Name; }
    const char* Target; ///< below the test's folder: a FIFO (.fifo), a file without a tag (.flac)
                        ///< or with one; or a device's own path
    const char* Uri;    ///< MPD's name; {target} the target's path, {relative} from lumd's folder
    bool Read;          ///< whether the display engine gets the file to read
    bool FileTag;       ///< whether the file's album shows, else the server's
    const char* Track;  ///< the server's track tag (MPD 0.23 itself cuts "3/12" to "3")
    std::uint8_t Number;
};

class MpdEntryFiles : public ::testing::TestWithParam<EntryCase> {};

TEST_P(MpdEntryFiles, AreOnlyRegularFilesBelowTheMusicFolderElseTheServersTags) {
    const EntryCase& c = GetParam();
    TempFolder folder;
    fs::create_directories(folder.Path() + "/music");
    fs::create_symlink(folder.Path() + "/linked.mp3", folder.Path() + "/music/link.mp3");
    std::ofstream(folder.Path() + "/music/tagged.mp3") << "a" << Id3v1Tag({.Album = "Tagged"});
    const std::string target = c.Target[0] == '/' ? c.Target : folder.Path() + "/" + c.Target;
    std::atomic<bool> writerThrough = false;
    std::thread writer;
    if (target.ends_with(".fifo")) {
        ASSERT_EQ(::mkfifo(target.c_str(), 0600), 0);
        writer = std::thread([&] {
            ::close(::open(target.c_str(), O_WRONLY | O_CLOEXEC)); // waits for a reader
            writerThrough = true;
        });
    } else if (c.Target[0] != '/') {
        std::ofstream(target) << "fLaC" << std::string(200, '\0')
                              << (target.ends_with(".flac") ? "" : Id3v1Tag({.Album = "File"}));
    }
    std::string uri = std::regex_replace(c.Uri, std::regex("\\{target\\}"), target);
    uri = uri == "{relative}" ? fs::relative(target, fs::current_path()).string() : uri;
    FakeMpd server(folder.Path() + "/mpd", folder.Path() + "/music", "file: tagged.mp3");
    LogCapture log;
    MpdSource source(MpdSourceOptions{.Address = MpdAddress{folder.Path() + "/mpd"}}, log.Sink());
    ASSERT_EQ(StartAndWait(source).Outcome, StartOutcome::Ready);
    const Settings settings;
    PlaceholderExpander engine(settings, source, [] { return platform::LocalDateTime{}; });
    const auto shows = [&](const std::string& album) {
        return WaitFor([&] { return engine.Expand("%id3album") == album; }, 3s);
    };
    EXPECT_TRUE(shows("Tagged"));
    server.Play("file: " + uri + "\nAlbum: Player\nTrack: " + c.Track);
    EXPECT_TRUE(shows(c.FileTag ? "File" : "Player")) << uri;
    EXPECT_EQ(source.EntryFileName(source.ListPosition()).empty(), !c.Read);
    ASSERT_NE(source.PlayerTag(), nullptr);
    EXPECT_EQ(source.PlayerTag()->Track, c.Number);
    if (writer.joinable()) {
        EXPECT_FALSE(writerThrough) << "the writer was let through";
        ::close(::open(target.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        writer.join();
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, MpdEntryFiles, ::testing::Values(
    EntryCase{"FifoWithAWriter", "music/a.fifo",     "{target}",        false, false, "7",    7},
    EntryCase{"Device",          "/dev/zero",        "{target}",        false, false, "07",   7},
    EntryCase{"RelativeName",    "cwd.mp3",          "{relative}",      false, false, "A1",   0},
    EntryCase{"DotDotEscape",    "outside.mp3",      "../outside.mp3",  false, false, "3/12", 3},
    EntryCase{"FileUrlOutside",  "outside.mp3",      "file://{target}", false, false, "300",  255},
    EntryCase{"LinkInside",      "linked.mp3",       "link.mp3",        true,  true,  "1",    1},
    EntryCase{"FileWithoutTag",  "music/plain.flac", "plain.flac",      true,  false, "12",   12}),
    CaseName());
// clang-format on

} // namespace
} // namespace lum::lumd::testing
