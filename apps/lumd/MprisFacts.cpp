#include "apps/lumd/MprisFacts.h"

#include "apps/lumd/FileUrl.h"

namespace lum::lumd {

TrackSnapshot SnapshotOf(const MprisFacts& facts) {
    TrackSnapshot snapshot;
    snapshot.Connected = true;
    snapshot.State = facts.Status == "Playing"  ? PlayState::Playing
                     : facts.Status == "Paused" ? PlayState::Paused
                                                : PlayState::Stopped;
    snapshot.HasEntry = !facts.Url.empty() || !facts.Tags.Title.empty();
    if (!snapshot.HasEntry) {
        return snapshot;
    }
    snapshot.ListPosition = facts.ListPosition;
    snapshot.Title = DisplayTitle(facts.Tags, facts.Url);
    // The player is the user's own: any local regular file it plays is read, never a relative
    // name (a file:// URL's path is absolute).
    if (auto local = LocalPathOfFileUrl(facts.Url); local && IsRegularFile(*local)) {
        snapshot.FileName = std::move(*local);
    }
    snapshot.Tag = PlayerTagOf(facts.Tags);
    snapshot.ElapsedMs = facts.PositionUs / 1000;
    snapshot.At = facts.PositionAt;
    snapshot.Rate = facts.Rate;
    snapshot.LengthMs = facts.LengthUs / 1000;
    return snapshot;
}

} // namespace lum::lumd
