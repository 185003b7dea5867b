#include "SourceWatch.h"

namespace lum::lumd::testing {

ChangeCallback SourceWatch::Callback() {
    return [this] {
        const std::lock_guard lock(mutex_);
        if (source_ != nullptr) {
            changes_.push_back({Clock::now(), source_->Current()});
            changed_.notify_all();
        }
    };
}

void SourceWatch::Watch(const SnapshotSource& source) {
    const std::lock_guard lock(mutex_);
    source_ = &source;
}

std::size_t SourceWatch::Mark() const {
    const std::lock_guard lock(mutex_);
    return changes_.size();
}

std::optional<Clock::time_point>
SourceWatch::WaitFrom(std::size_t mark, const std::function<bool(const TrackSnapshot&)>& wanted,
                      std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    const auto until = Clock::now() + timeout;
    for (std::size_t next = mark;; ++next) {
        if (!changed_.wait_until(lock, until, [&] { return changes_.size() > next; })) {
            return std::nullopt;
        }
        if (wanted(changes_[next].Snapshot)) {
            return changes_[next].At;
        }
    }
}

bool SourceWatch::WaitQuiet(std::chrono::milliseconds quiet, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    const auto until = Clock::now() + timeout;
    for (;;) {
        const std::size_t seen = changes_.size();
        const auto lastChange = seen > 0 ? changes_.back().At : Clock::time_point{};
        const auto quietUntil = std::max(lastChange + quiet, Clock::now());
        if (quietUntil > until) {
            return false;
        }
        if (!changed_.wait_until(lock, quietUntil, [&] { return changes_.size() > seen; })) {
            return true;
        }
    }
}

LogCapture::LogCapture()
    : log_(LogLevel::Debug, [this](LogLevel level, std::string_view text) {
          const std::lock_guard lock(mutex_);
          lines_.push_back({level, std::string(text), Clock::now()});
      }) {}

std::vector<std::string> LogCapture::Lines(LogLevel level, const std::string& part) const {
    const std::lock_guard lock(mutex_);
    std::vector<std::string> found;
    for (const Line& line : lines_) {
        if (line.Level == level && line.Text.find(part) != std::string::npos) {
            found.push_back(line.Text);
        }
    }
    return found;
}

std::vector<Clock::time_point> LogCapture::Times(LogLevel level, const std::string& part) const {
    const std::lock_guard lock(mutex_);
    std::vector<Clock::time_point> found;
    for (const Line& line : lines_) {
        if (line.Level == level && line.Text.find(part) != std::string::npos) {
            found.push_back(line.At);
        }
    }
    return found;
}

std::function<bool(const TrackSnapshot&)> TitleIs(const std::string& title) {
    return [title](const TrackSnapshot& snapshot) { return snapshot.Title == title; };
}

std::function<bool(const TrackSnapshot&)> StateIs(PlayState state) {
    return [state](const TrackSnapshot& snapshot) { return snapshot.State == state; };
}

} // namespace lum::lumd::testing
