#include "LcdServer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <pwd.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lum::lumd::testing {
namespace {

/// The folder of LCDd's drivers, or empty when its text driver is nowhere.
std::string DriverFolder() {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator("/usr/lib", ignored)) {
        if (std::filesystem::exists(entry.path() / "lcdproc" / "text.so", ignored)) {
            return (entry.path() / "lcdproc").string() + "/";
        }
    }
    return std::filesystem::exists("/usr/lib/lcdproc/text.so", ignored) ? "/usr/lib/lcdproc/" : "";
}

/// A socket connected to `port` of 127.0.0.1; -1 when nothing listens there.
int ConnectLocally(unsigned port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

std::string LcdServer::Missing() {
    if (const std::string programs = MissingPrograms({"LCDd", "stdbuf"}); !programs.empty()) {
        return programs;
    }
    return DriverFolder().empty() ? "LCDd's text driver" : "";
}

LcdServer::LcdServer(int width, int height)
    : fifo_(folder_.Path() + "/screens"), port_(FreeTcpPort()),
      config_(folder_.Path() + "/LCDd.conf") {
    const passwd* user = ::getpwuid(::geteuid());
    std::ofstream config(config_);
    // ServerScreen=no: LCDd's own screen only while no client has one.
    config << "[server]\nDriverPath=" << DriverFolder() << "\nDriver=text\nBind=127.0.0.1\n"
           << "Port=" << port_ << "\nReportLevel=2\nReportToSyslog=no\n"
           << "User=" << (user != nullptr ? user->pw_name : "nobody") << "\n"
           << "Foreground=yes\nServerScreen=no\nWaitTime=5\n"
           << "[text]\nSize=" << width << "x" << height << "\n";
    config.close();
    if (::mkfifo(fifo_.c_str(), 0600) != 0) {
        throw std::runtime_error("no FIFO for LCDd's screens");
    }
    reading_ = ::open(fifo_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    holding_ = ::open(fifo_.c_str(), O_WRONLY | O_CLOEXEC);
    reader_ = std::thread([this] { Read(); });
    Restart();
}

LcdServer::~LcdServer() {
    server_.reset();
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    reader_.join();
    ::close(holding_);
    ::close(reading_);
}

std::string LcdServer::Address() const {
    return "127.0.0.1:" + std::to_string(port_);
}

void LcdServer::Restart() {
    // The text driver does not flush its output: line buffering makes each line come at once.
    server_ = std::make_unique<Child>(
        std::vector<std::string>{"stdbuf", "-oL", "LCDd", "-f", "-c", config_}, fifo_);
    const auto listening = [this] {
        const int probe = ConnectLocally(port_);
        ::close(probe);
        return probe >= 0;
    };
    if (!testing::WaitFor([&] { return listening() || !server_->Running(); },
                          std::chrono::seconds(10)) ||
        !server_->Running()) {
        throw std::runtime_error("LCDd did not start");
    }
}

void LcdServer::Kill() {
    server_->Stop(SIGKILL, std::chrono::seconds(5));
}

void LcdServer::Read() {
    std::string pending;
    for (;;) {
        {
            const std::lock_guard lock(mutex_);
            if (stop_) {
                return;
            }
        }
        pollfd ready{reading_, POLLIN, 0};
        if (::poll(&ready, 1, 20) <= 0) {
            continue;
        }
        char chunk[4096];
        const ssize_t got = ::read(reading_, chunk, sizeof chunk);
        const auto now = std::chrono::steady_clock::now();
        if (got <= 0) {
            continue;
        }
        pending.append(chunk, static_cast<std::size_t>(got));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
            TakeLine(pending.substr(0, end), now);
            pending.erase(0, end + 1);
        }
    }
}

void LcdServer::TakeLine(const std::string& line, std::chrono::steady_clock::time_point at) {
    const std::lock_guard lock(mutex_);
    if (line.size() >= 2 && line.front() == '+' && line.back() == '+') {
        if (partial_ && !partial_->Lines.empty()) {
            partial_->Index = screens_.size();
            screens_.push_back(std::move(*partial_));
            partial_.reset();
            arrived_.notify_all();
        } else {
            partial_ = LcdScreen{0, at, {}};
        }
    } else if (partial_ && line.size() >= 2 && line.front() == '|' && line.back() == '|') {
        partial_->Lines.push_back(line.substr(1, line.size() - 2));
    }
    // Anything else is one of LCDd's messages.
}

std::size_t LcdServer::Mark() const {
    const std::lock_guard lock(mutex_);
    return screens_.size();
}

std::optional<LcdScreen> LcdServer::WaitFor(std::size_t mark,
                                            const std::function<bool(const LcdScreen&)>& test,
                                            std::chrono::milliseconds timeout) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    std::unique_lock lock(mutex_);
    for (std::size_t next = mark;; ++next) {
        if (!arrived_.wait_until(lock, until, [&] { return screens_.size() > next; })) {
            return std::nullopt;
        }
        if (test(screens_[next])) {
            return screens_[next];
        }
    }
}

OtherLcdClient::OtherLcdClient(unsigned port, const std::string& text) : fd_(ConnectLocally(port)) {
    const std::string commands = "hello\nscreen_add other\nscreen_set other -priority info "
                                 "-heartbeat off\nwidget_add other t string\n"
                                 "widget_set other t 1 1 {" +
                                 text + "}\n";
    const timeval patience{5, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    // LCDd answers in order: a success for each of the four commands after the connect line.
    std::string answers;
    const auto successes = [&answers] {
        std::size_t count = 0;
        for (auto at = answers.find("success"); at != std::string::npos;
             at = answers.find("success", at + 1)) {
            ++count;
        }
        return count;
    };
    char chunk[1024];
    ssize_t got = fd_ < 0 ? -1 : ::send(fd_, commands.data(), commands.size(), MSG_NOSIGNAL);
    while (got > 0 && successes() < 4) {
        got = ::read(fd_, chunk, sizeof chunk);
        answers.append(chunk, static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
    }
    if (got <= 0) {
        ::close(fd_);
        throw std::runtime_error("LCDd did not take the other client's screen: " + answers);
    }
}

OtherLcdClient::~OtherLcdClient() {
    ::close(fd_);
}

std::function<bool(const LcdScreen&)> LcdLineStarts(std::size_t line, const std::string& text) {
    return [line, text](const LcdScreen& screen) {
        return line < screen.Lines.size() && screen.Lines[line].starts_with(text);
    };
}

} // namespace lum::lumd::testing
