#include "DisplayLine.h"

#include "display/DisplayEngine.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <stdexcept>
#include <unistd.h>

namespace lum::lumd::testing {

DisplayLine::DisplayLine(std::string link, int width, int lines)
    : link_(std::move(link)), frameBytes_(static_cast<std::size_t>(width * lines)), width_(width),
      screen_(width, lines) {
    PlugIn();
}

DisplayLine::~DisplayLine() {
    Unplug();
}

void DisplayLine::PlugIn() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        throw std::runtime_error("no pty");
    }
    const std::string slave = ptsname(master_);
    slave_ = ::open(slave.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    std::filesystem::remove(link_);
    std::filesystem::create_symlink(slave, link_);
    {
        const std::lock_guard lock(mutex_);
        stop_ = false;
        partial_.clear();
    }
    reader_ = std::thread([this] { Read(); });
}

void DisplayLine::Unplug() {
    if (!reader_.joinable()) {
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    reader_.join();
    std::filesystem::remove(link_);
    ::close(master_);
    ::close(slave_);
    master_ = slave_ = -1;
}

void DisplayLine::Read() {
    for (;;) {
        {
            const std::lock_guard lock(mutex_);
            if (stop_) {
                return;
            }
        }
        pollfd ready{master_, POLLIN, 0};
        if (::poll(&ready, 1, 20) <= 0 || (ready.revents & POLLIN) == 0) {
            continue;
        }
        char chunk[4096];
        const ssize_t got = ::read(master_, chunk, sizeof chunk);
        const auto now = std::chrono::steady_clock::now();
        if (got <= 0) {
            continue;
        }
        const std::lock_guard lock(mutex_);
        for (ssize_t i = 0; i < got; ++i) {
            const auto byte = static_cast<std::uint8_t>(chunk[i]);
            if (byte < 0x20) {
                events_.push_back(LineEvent{events_.size(), now, {}, byte});
                continue;
            }
            if (partial_.empty()) {
                partialAt_ = now;
            }
            partial_.push_back(static_cast<char>(byte));
            if (partial_.size() == frameBytes_) {
                LineEvent frame{events_.size(), partialAt_, {}, 0};
                for (std::size_t at = 0; at < frameBytes_; at += static_cast<std::size_t>(width_)) {
                    frame.Lines.push_back(partial_.substr(at, static_cast<std::size_t>(width_)));
                }
                events_.push_back(std::move(frame));
                partial_.clear();
            }
        }
        screen_.Feed(
            std::span(reinterpret_cast<const std::uint8_t*>(chunk), static_cast<std::size_t>(got)));
        shots_.push_back(ScreenShot{shots_.size(), now, screen_.Text(), screen_.Brightness()});
        arrived_.notify_all();
    }
}

std::size_t DisplayLine::Mark() const {
    const std::lock_guard lock(mutex_);
    return events_.size();
}

template <typename Item, typename Test>
std::optional<Item> DisplayLine::WaitIn(const std::vector<Item>& items, std::size_t mark,
                                        const Test& test, std::chrono::milliseconds timeout) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    std::unique_lock lock(mutex_);
    for (std::size_t next = mark;; ++next) {
        if (!arrived_.wait_until(lock, until, [&] { return items.size() > next; })) {
            return std::nullopt;
        }
        if (test(items[next])) {
            return items[next];
        }
    }
}

std::optional<LineEvent> DisplayLine::WaitFor(std::size_t mark, const EventTest& test,
                                              std::chrono::milliseconds timeout) {
    return WaitIn(events_, mark, test, timeout);
}

std::vector<LineEvent> DisplayLine::EventsFrom(std::size_t mark) const {
    const std::lock_guard lock(mutex_);
    return {events_.begin() + static_cast<std::ptrdiff_t>(std::min(mark, events_.size())),
            events_.end()};
}

std::size_t DisplayLine::ScreenMark() const {
    const std::lock_guard lock(mutex_);
    return shots_.size();
}

std::optional<ScreenShot> DisplayLine::WaitForScreen(std::size_t mark, const ScreenTest& test,
                                                     std::chrono::milliseconds timeout) {
    return WaitIn(shots_, mark, test, timeout);
}

EventTest ControlIs(std::uint8_t byte) {
    return [byte](const LineEvent& event) { return !event.IsFrame() && event.Control == byte; };
}

EventTest AnyFrame() {
    return [](const LineEvent& event) { return event.IsFrame(); };
}

EventTest LineStarts(std::size_t line, const std::string& text) {
    return [line, text](const LineEvent& event) {
        return line < event.Lines.size() && event.Lines[line].starts_with(text);
    };
}

EventTest BannerFrame() {
    return LineStarts(0, std::string(kBannerLine1));
}

} // namespace lum::lumd::testing
