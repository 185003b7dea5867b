#include "tools/common/SimulatedPlayer.h"

#include <algorithm>
#include <limits>

namespace lum::host {

SimulatedPlayer::SimulatedPlayer(std::vector<PlaylistEntry> entries)
    : entries_(std::move(entries)) {}

void SimulatedPlayer::Advance(std::uint64_t now) {
    if (state_ == PlayState::Playing && now > lastUpdate_) {
        positionMs_ += static_cast<std::int64_t>(now - lastUpdate_);
    }
    lastUpdate_ = now;
    // Several short tracks may have ended since the last call.
    while (state_ == PlayState::Playing && LengthSeconds() > 0 &&
           positionMs_ >= std::int64_t{LengthSeconds()} * 1000) {
        const std::int64_t overrun = positionMs_ - std::int64_t{LengthSeconds()} * 1000;
        if (current_ + 1 >= EntryCount()) {
            state_ = PlayState::Stopped;
            positionMs_ = 0;
            break;
        }
        ++current_;
        positionMs_ = overrun;
    }
}

PlayState SimulatedPlayer::State(std::uint64_t now) {
    Advance(now);
    return state_;
}

std::int32_t SimulatedPlayer::PositionMs(std::uint64_t now) {
    Advance(now);
    return static_cast<std::int32_t>(positionMs_);
}

std::int32_t SimulatedPlayer::LengthSeconds() const {
    return entries_[current_].LengthSeconds;
}

std::int32_t SimulatedPlayer::EntryCount() const {
    return static_cast<std::int32_t>(entries_.size());
}

const PlaylistEntry* SimulatedPlayer::Entry(std::int32_t position) const {
    return position >= 0 && position < EntryCount() ? &entries_[position] : nullptr;
}

void SimulatedPlayer::StartEntry(std::uint64_t now, std::int32_t position) {
    Advance(now);
    current_ = std::clamp(position, 0, EntryCount() - 1);
    positionMs_ = 0;
}

void SimulatedPlayer::Play(std::uint64_t now) {
    Advance(now);
    if (state_ != PlayState::Paused) {
        positionMs_ = 0;
    }
    state_ = PlayState::Playing;
}

void SimulatedPlayer::PauseToggle(std::uint64_t now) {
    Advance(now);
    if (state_ == PlayState::Playing) {
        state_ = PlayState::Paused;
    } else if (state_ == PlayState::Paused) {
        state_ = PlayState::Playing;
    }
}

void SimulatedPlayer::Stop(std::uint64_t now) {
    Advance(now);
    state_ = PlayState::Stopped;
    positionMs_ = 0;
}

void SimulatedPlayer::Next(std::uint64_t now) {
    StartEntry(now, current_ + 1);
}

void SimulatedPlayer::Previous(std::uint64_t now) {
    StartEntry(now, current_ - 1);
}

void SimulatedPlayer::Select(std::uint64_t now, std::int32_t position) {
    StartEntry(now, position);
}

void SimulatedPlayer::Seek(std::uint64_t now, std::int32_t positionMs) {
    Advance(now);
    const std::int64_t limit = LengthSeconds() > 0 ? std::int64_t{LengthSeconds()} * 1000
                                                   : std::numeric_limits<std::int32_t>::max();
    positionMs_ = std::clamp<std::int64_t>(positionMs, 0, limit);
}

} // namespace lum::host
