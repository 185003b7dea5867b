#include "apps/lumd/SnapshotSource.h"

#include "common/Utf8.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

namespace lum::lumd {
namespace {

// A file name longer than a path can be (PATH_MAX) names no file on this machine; a player's
// longer name or address is cut there, so that the engine's questions never copy more.
constexpr std::size_t kMaxFileNameBytes = PATH_MAX;

} // namespace

std::chrono::steady_clock::time_point SteadyNow() {
    return std::chrono::steady_clock::now();
}

SnapshotSource::SnapshotSource(MonotonicClock clock, ChangeCallback onChange)
    : clock_(std::move(clock)), onChange_(std::move(onChange)) {}

std::int32_t SnapshotSource::PlayStateNumber(PlayState /*compared*/) {
    const std::lock_guard lock(mutex_);
    return static_cast<std::int32_t>(snapshot_.State);
}

std::int32_t SnapshotSource::PositionMs() {
    const auto now = Now();
    const std::lock_guard lock(mutex_);
    if (!snapshot_.HasEntry) {
        return 0;
    }
    double position = static_cast<double>(snapshot_.ElapsedMs);
    if (snapshot_.State == PlayState::Playing && now > snapshot_.At) {
        const std::chrono::duration<double, std::milli> since = now - snapshot_.At;
        position += since.count() * snapshot_.Rate;
    }
    if (snapshot_.LengthMs > 0) {
        position = std::min(position, static_cast<double>(snapshot_.LengthMs));
    }
    position = std::clamp(position, 0.0, double{std::numeric_limits<std::int32_t>::max()});
    return static_cast<std::int32_t>(std::floor(position));
}

std::int32_t SnapshotSource::LengthSeconds() {
    const std::lock_guard lock(mutex_);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        snapshot_.LengthMs / 1000, 0, std::numeric_limits<std::int32_t>::max()));
}

std::int32_t SnapshotSource::ListPosition() {
    const std::lock_guard lock(mutex_);
    answeredPosition_ = snapshot_.ListPosition;
    return answeredPosition_;
}

bool SnapshotSource::IsCurrentPlace(std::int32_t position) const {
    return snapshot_.HasEntry &&
           (position == snapshot_.ListPosition || position == answeredPosition_);
}

std::string SnapshotSource::EntryFileName(std::int32_t position) {
    const std::lock_guard lock(mutex_);
    return IsCurrentPlace(position) ? snapshot_.FileName : std::string();
}

std::string SnapshotSource::EntryTitle(std::int32_t position) {
    const std::lock_guard lock(mutex_);
    return IsCurrentPlace(position) ? snapshot_.Title : std::string();
}

const TID3Info* SnapshotSource::PlayerTag() {
    const std::lock_guard lock(mutex_);
    if (!snapshot_.HasEntry || !snapshot_.Tag) {
        return nullptr;
    }
    tagAnswer_ = *snapshot_.Tag;
    return &tagAnswer_;
}

TrackSnapshot SnapshotSource::Current() const {
    const std::lock_guard lock(mutex_);
    return snapshot_;
}

void SnapshotSource::Publish(TrackSnapshot snapshot) {
    snapshot.FileName.resize(Utf8CutLength(snapshot.FileName, kMaxFileNameBytes));
    {
        const std::lock_guard lock(mutex_);
        snapshot_ = std::move(snapshot);
    }
    if (onChange_) {
        onChange_();
    }
}

} // namespace lum::lumd
