#pragma once
// Which MPRIS player lumd follows: the first (org.mpris.MediaPlayer2.*, by name order) or the
// first whose bus name contains the chosen text, found by asking the bus for its names and
// their owners; NameOwnerChanged tells when the followed player leaves or moves to another
// owner, and when a matching player appears while none is followed. A missing player is said
// once, until one is followed again. Used on the source's worker thread; the followed name may
// be asked from any thread.

#include "apps/lumd/Log.h"

#include <mutex>
#include <string>

struct sd_bus;
struct sd_bus_message;

namespace lum::lumd {

/// The player followed on one bus.
class MprisPlayerWatch {
public:
    /// `nameFilter`: a part of the player's bus name; empty: any player.
    MprisPlayerWatch(std::string nameFilter, Log& log);

    /// What looking for a player found.
    enum class Found {
        Unknown, ///< the bus did not list its names: nothing changed
        Player,  ///< a player is followed (afresh)
        None,    ///< no player matches: none is followed
    };
    /// Asks `bus` for its players and follows the first that matches and has an owner.
    [[nodiscard]] Found Select(sd_bus* bus);

    /// What a NameOwnerChanged signal means.
    enum class Change {
        None,     ///< nothing for lumd
        Left,     ///< the followed player left the bus: none is followed now
        NewOwner, ///< the followed name has another owner now: a player to read afresh
        Appeared, ///< a matching player appeared while none is followed
    };
    [[nodiscard]] Change OnNameOwnerChanged(sd_bus_message* message);

    /// Whether `message` comes from the followed player.
    [[nodiscard]] bool FromPlayer(sd_bus_message* message) const;
    /// The followed player's unique bus name; empty when none is followed.
    [[nodiscard]] const std::string& Owner() const { return owner_; }
    /// The followed player's bus name; empty when none. Any thread.
    [[nodiscard]] std::string Name() const;
    /// Follows no player.
    void Forget();

    /// "no MPRIS player on the session bus ...; waiting for one".
    [[nodiscard]] std::string NoPlayerMessage() const;
    /// The missing player has been said elsewhere (by the start's result).
    void NoPlayerSaid() { noPlayerSaid_ = true; }

private:
    [[nodiscard]] bool Matches(const std::string& name) const;
    void Follow(const std::string& name, const std::string& owner);

    std::string filter_;
    Log& log_;
    std::string owner_;
    bool noPlayerSaid_ = false;
    mutable std::mutex nameMutex_;
    std::string name_; ///< guarded by nameMutex_
};

} // namespace lum::lumd
