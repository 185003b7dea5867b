#include "SessionBus.h"

#include "TestMusic.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace lum::lumd::testing {

std::vector<std::string> SessionBus::Programs() {
    std::vector<std::string> programs = MusicPrograms();
    programs.insert(programs.end(), {"dbus-daemon", "mpv", "playerctl", "python3"});
    return programs;
}

std::string SessionBus::Missing() {
    std::string missing = MissingPrograms(Programs());
    if (access(kMprisScript, R_OK) != 0) {
        missing += (missing.empty() ? "" : " ") + std::string(kMprisScript);
    }
    return missing;
}

SessionBus::SessionBus(int seconds) : music_(folder_.Path() + "/music") {
    std::filesystem::create_directory(music_);
    MakeTestMusic(music_, StandardTracks(), seconds);
    address_ = "unix:path=" + folder_.Path() + "/bus";
    if (const char* previous = std::getenv("DBUS_SESSION_BUS_ADDRESS")) {
        previousAddress_ = previous;
        hadAddress_ = true;
    }
    setenv("DBUS_SESSION_BUS_ADDRESS", address_.c_str(), 1);
    StartBus();
}

namespace {

/// Whether the local socket at `path` takes a connection: the daemon binds its socket before it
/// listens on it, so the file alone does not say that it is ready.
bool TakesConnections(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool taken =
        fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return taken;
}

} // namespace

void SessionBus::StartBus() {
    const std::string socket = folder_.Path() + "/bus";
    std::filesystem::remove(socket);
    daemon_ =
        std::make_unique<Child>(std::vector<std::string>{"dbus-daemon", "--session", "--nofork",
                                                         "--nopidfile", "--address=" + address_},
                                folder_.Path() + "/dbus.out");
    if (!WaitFor([&] { return TakesConnections(socket) || !daemon_->Running(); },
                 std::chrono::seconds(10)) ||
        !daemon_->Running()) {
        throw std::runtime_error("dbus-daemon did not start (see " + folder_.Path() + "/dbus.out)");
    }
}

void SessionBus::StopBus() {
    daemon_.reset();
}

std::string SessionBus::ServeOverHttp(const std::string& file) {
    const unsigned port = FreeTcpPort();
    web_ = std::make_unique<Child>(std::vector<std::string>{"python3", "-m", "http.server",
                                                            "--bind", "127.0.0.1", "--directory",
                                                            music_, std::to_string(port)},
                                   folder_.Path() + "/http.out");
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/" + file;
    if (!WaitFor(
            [&] {
                return RunCommand({"python3", "-c",
                                   "import urllib.request as u; u.urlopen('" + url + "')"})
                           .ExitCode == 0;
            },
            std::chrono::seconds(10))) {
        throw std::runtime_error("the HTTP server did not start");
    }
    return url;
}

SessionBus::~SessionBus() {
    players_.clear();
    web_.reset();
    daemon_.reset();
    if (hadAddress_) {
        setenv("DBUS_SESSION_BUS_ADDRESS", previousAddress_.c_str(), 1);
    } else {
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
}

std::size_t SessionBus::StartPlayer(const std::vector<std::string>& entries, bool paused) {
    const std::size_t before = PlayerCount();
    std::vector<std::string> argv = {
        "mpv",           "--no-config",   "--script=" + std::string(kMprisScript),
        "--ao=null",     "--no-video",    "--idle=yes",
        "--no-terminal", "--really-quiet"};
    if (paused) {
        argv.emplace_back("--pause");
    }
    for (const std::string& entry : entries) {
        argv.push_back(entry.find("://") != std::string::npos ? entry : music_ + "/" + entry);
    }
    players_.push_back(std::make_unique<Child>(argv, folder_.Path() + "/mpv" +
                                                         std::to_string(players_.size()) + ".out"));
    if (!WaitFor([&] { return PlayerCount() > before; }, std::chrono::seconds(10))) {
        throw std::runtime_error("mpv did not appear on the bus");
    }
    return players_.size() - 1;
}

void SessionBus::StopPlayer(std::size_t index) {
    players_.at(index)->Stop(SIGTERM, std::chrono::seconds(5));
}

std::string SessionBus::Playerctl(const std::vector<std::string>& arguments) {
    std::vector<std::string> argv = {"playerctl"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const CommandResult result = RunCommand(argv);
    if (result.ExitCode != 0) {
        throw std::runtime_error("playerctl " + arguments.front() + " failed: " + result.Output);
    }
    return result.Output;
}

std::size_t SessionBus::PlayerCount() {
    const CommandResult result = RunCommand({"playerctl", "--list-all"}, false);
    if (result.ExitCode != 0) {
        return 0;
    }
    std::istringstream lines(result.Output);
    std::size_t count = 0;
    for (std::string line; std::getline(lines, line);) {
        count += line.empty() ? 0 : 1;
    }
    return count;
}

} // namespace lum::lumd::testing
