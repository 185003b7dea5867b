#include "apps/lumd/LcdprocOutput.h"

#include <cerrno>
#include <cstring>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace lum::lumd {
namespace {

/// The time between two attempts while LCDd is away.
constexpr std::uint32_t kRetryMs = 1000;
/// How long an attempt may take: the resolver, the connection and LCDd's answer to hello.
constexpr std::uint32_t kAttemptMs = 5000;
/// The longest answer line LCDd may send; its own are far shorter.
constexpr std::size_t kLongestAnswer = 4096;

std::string ErrorText(int error) {
    return std::strerror(error);
}

} // namespace

LcdprocOutput::LcdprocOutput(EventLoop& loop, Log& log, LcdprocOptions options)
    : loop_(loop), log_(log), options_(std::move(options)), timer_(loop.AddTimer("LcdprocTimer")) {
    screen_.SetPriority(options_.Idle);
    timer_.OnTimer = [this] {
        if (state_ == State::Waiting) {
            Attempt();
        } else {
            Fail("no answer within " + std::to_string(kAttemptMs / 1000) + " s");
        }
    };
}

LcdprocOutput::~LcdprocOutput() {
    // The timer lives as long as the loop: it must not tick into the output once it has gone.
    timer_.SetEnabled(false);
    timer_.OnTimer = nullptr;
    *alive_ = false;
    CloseSocket();
    if (resolver_.joinable()) {
        resolver_.join();
    }
}

void LcdprocOutput::Start() {
    Attempt();
}

void LcdprocOutput::SetPlaying(bool playing) {
    screen_.SetPriority(playing ? ScreenPriority::Foreground : options_.Idle);
    Flush();
}

void LcdprocOutput::Frame(const FrameLines& lines) {
    std::vector<std::string> text;
    for (std::size_t index = 0; index < lines.Count; ++index) {
        std::string& line = text.emplace_back(lines.Line(index));
        if (charset_ != nullptr) {
            for (char& c : line) {
                c = charset_->Encode(c);
            }
        }
    }
    screen_.SetLines(std::move(text));
    Flush();
}

void LcdprocOutput::Brightness(int step) {
    screen_.SetBacklight(step > 1);
    Flush();
}

void LcdprocOutput::Attempt() {
    timer_.SetEnabled(false);
    timer_.SetInterval(kAttemptMs);
    timer_.SetEnabled(true);
    if (resolverBusy_) {
        // The resolver still waits for an earlier answer: the deadline tries again later.
        state_ = State::Resolving;
        return;
    }
    if (resolver_.joinable()) {
        resolver_.join(); // it has posted its result: it ends at once
    }
    state_ = State::Resolving;
    resolverBusy_ = true;
    resolver_ = std::thread(
        [this, host = options_.Address.Host, port = options_.Address.Port, alive = alive_] {
            std::string error;
            std::vector<Endpoint> found = TcpEndpoints(host, port, error);
            loop_.Post([this, alive, found = std::move(found), error = std::move(error)]() mutable {
                if (*alive) {
                    resolverBusy_ = false;
                    OnResolved(std::move(found), error);
                }
            });
        });
}

void LcdprocOutput::OnResolved(std::vector<Endpoint> endpoints, const std::string& error) {
    if (state_ != State::Resolving) {
        return; // the attempt has ended meanwhile
    }
    if (endpoints.empty()) {
        Fail(error.empty() ? "no address" : error);
        return;
    }
    endpoints_ = std::move(endpoints);
    next_ = 0;
    lastError_.clear();
    ConnectNext();
}

void LcdprocOutput::ConnectNext() {
    CloseSocket();
    while (next_ < endpoints_.size()) {
        const Endpoint& endpoint = endpoints_[next_++];
        fd_ = ::socket(endpoint.Family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd_ < 0) {
            lastError_ = ErrorText(errno);
            continue;
        }
        if (::connect(fd_, reinterpret_cast<const sockaddr*>(&endpoint.Address), endpoint.Length) ==
            0) {
            if (!loop_.Watch(fd_, [this](std::uint32_t events) { OnSocketReady(events); })) {
                lastError_ = "cannot watch the socket";
                CloseSocket();
                continue;
            }
            OnConnected();
            return;
        }
        if (errno == EINPROGRESS &&
            loop_.Watch(fd_, [this](std::uint32_t events) { OnSocketReady(events); })) {
            state_ = State::Connecting;
            loop_.WatchWritable(fd_, true);
            writeWatched_ = true;
            return;
        }
        lastError_ = ErrorText(errno);
        CloseSocket();
    }
    Fail(lastError_.empty() ? "no address" : lastError_);
}

void LcdprocOutput::OnSocketReady(std::uint32_t events) {
    if (state_ == State::Connecting) {
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
            error = errno;
        }
        if (error != 0) {
            lastError_ = ErrorText(error);
            ConnectNext();
            return;
        }
        OnConnected();
        return;
    }
    if ((events & EPOLLIN) != 0 || (events & (EPOLLHUP | EPOLLERR)) != 0) {
        ReadAnswers();
    }
    if (fd_ >= 0 && (events & EPOLLOUT) != 0) {
        Flush();
    }
}

void LcdprocOutput::OnConnected() {
    state_ = State::Greeting;
    in_.clear();
    out_ = "hello\n";
    Flush();
}

void LcdprocOutput::ReadAnswers() {
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, sizeof buffer);
        if (got > 0) {
            in_.append(buffer, static_cast<std::size_t>(got));
            continue;
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            break;
        }
        Fail(got == 0 ? "the connection was closed" : ErrorText(errno));
        return;
    }
    std::size_t start = 0;
    for (std::size_t end = in_.find('\n'); end != std::string::npos && fd_ >= 0;
         end = in_.find('\n', start)) {
        std::string_view line(in_.data() + start, end - start);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        start = end + 1;
        OnAnswer(line);
    }
    if (fd_ < 0) {
        return; // the answer ended the connection: in_ is gone with it
    }
    in_.erase(0, start);
    if (in_.size() > kLongestAnswer) {
        Fail("an answer longer than " + std::to_string(kLongestAnswer) + " bytes");
    }
}

void LcdprocOutput::OnAnswer(std::string_view line) {
    if (state_ == State::Greeting) {
        const std::optional<LcdSize> size = ParseConnectAnswer(line);
        if (!size) {
            Fail("no LCDd: it answered \"" + std::string(line) + "\"");
            return;
        }
        state_ = State::Ready;
        timer_.SetEnabled(false);
        const std::string shown =
            std::to_string(size->Width) + " x " + std::to_string(size->Height);
        if (!wasConnected_) {
            log_.Info("LCDd at " + options_.Address.Text() + ": a display of " + shown);
        } else if (outageLogged_) {
            log_.Info("LCDd back at " + options_.Address.Text() + ": a display of " + shown);
        }
        wasConnected_ = true;
        outageLogged_ = false;
        out_ += screen_.Connected(*size);
        if (OnSize) {
            OnSize(*size);
        }
        Flush();
        return;
    }
    if (line.starts_with("huh?")) {
        log_.Warning("LCDd: " + std::string(line));
    }
    // success, listen, ignore, key and menu events: nothing to do.
}

void LcdprocOutput::Flush() {
    if (fd_ < 0 || state_ < State::Greeting) {
        return;
    }
    if (out_.empty() && state_ == State::Ready) {
        out_ = screen_.Updates();
    }
    while (!out_.empty()) {
        const ssize_t sent = ::send(fd_, out_.data(), out_.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            break;
        }
        if (sent < 0) {
            Fail(ErrorText(errno));
            return;
        }
        out_.erase(0, static_cast<std::size_t>(sent));
        if (out_.empty() && state_ == State::Ready) {
            out_ = screen_.Updates();
        }
    }
    const bool wantWrite = !out_.empty();
    if (wantWrite != writeWatched_) {
        loop_.WatchWritable(fd_, wantWrite);
        writeWatched_ = wantWrite;
    }
}

void LcdprocOutput::Fail(const std::string& reason) {
    CloseSocket();
    endpoints_.clear();
    if (!outageLogged_) {
        outageLogged_ = true;
        const std::string address = options_.Address.Text();
        if (wasConnected_) {
            log_.Warning("LCDd at " + address + " gone (" + reason +
                         "); trying again every second");
        } else {
            log_.Warning("LCDd at " + address + " not there (" + reason +
                         "); trying again every second");
        }
    } else {
        log_.Debug("LCDd at " + options_.Address.Text() + ": " + reason);
    }
    state_ = State::Waiting;
    timer_.SetEnabled(false);
    timer_.SetInterval(kRetryMs);
    timer_.SetEnabled(true);
}

void LcdprocOutput::CloseSocket() {
    if (fd_ < 0) {
        return;
    }
    loop_.Unwatch(fd_);
    ::close(fd_);
    fd_ = -1;
    writeWatched_ = false;
    in_.clear();
    out_.clear();
}

} // namespace lum::lumd
