#include "apps/lumd/MprisPlayerWatch.h"

#include "apps/lumd/MprisBus.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <systemd/sd-bus.h>
#include <vector>

namespace lum::lumd {
namespace {

constexpr const char* kBusName = "org.freedesktop.DBus";
constexpr const char* kBusPath = "/org/freedesktop/DBus";
constexpr const char* kPlayerPrefix = "org.mpris.MediaPlayer2.";

} // namespace

MprisPlayerWatch::MprisPlayerWatch(std::string nameFilter, Log& log)
    : filter_(std::move(nameFilter)), log_(log) {}

bool MprisPlayerWatch::Matches(const std::string& name) const {
    return name.starts_with(kPlayerPrefix) &&
           name.find(filter_, std::strlen(kPlayerPrefix)) != std::string::npos;
}

std::string MprisPlayerWatch::NoPlayerMessage() const {
    return "no MPRIS player on the session bus" +
           (filter_.empty() ? std::string() : " whose name contains '" + filter_ + "'") +
           "; waiting for one";
}

MprisPlayerWatch::Found MprisPlayerWatch::Select(sd_bus* bus) {
    BusError error;
    BusReply reply;
    int result = sd_bus_call_method(bus, kBusName, kBusPath, kBusName, "ListNames", &error.Error,
                                    &reply.Message, "");
    char** names = nullptr;
    if (result >= 0) {
        result = sd_bus_message_read_strv(reply.Message, &names);
    }
    if (result < 0) {
        log_.Warning("the session bus does not list its names: " + error.Text(result));
        return Found::Unknown;
    }
    std::vector<std::string> players;
    for (char** name = names; name != nullptr && *name != nullptr; ++name) {
        if (Matches(*name)) {
            players.emplace_back(*name);
        }
        std::free(*name);
    }
    std::free(names);
    std::ranges::sort(players);
    for (const std::string& player : players) {
        BusError ownerError;
        BusReply ownerReply;
        const char* owner = nullptr;
        if (sd_bus_call_method(bus, kBusName, kBusPath, kBusName, "GetNameOwner", &ownerError.Error,
                               &ownerReply.Message, "s", player.c_str()) >= 0 &&
            sd_bus_message_read_basic(ownerReply.Message, 's', &owner) > 0) {
            Follow(player, owner);
            return Found::Player;
        }
    }
    Forget();
    if (!noPlayerSaid_) {
        log_.Info(NoPlayerMessage());
        noPlayerSaid_ = true;
    }
    return Found::None;
}

void MprisPlayerWatch::Follow(const std::string& name, const std::string& owner) {
    {
        const std::lock_guard lock(nameMutex_);
        name_ = name;
    }
    owner_ = owner;
    noPlayerSaid_ = false;
    log_.Info("following the MPRIS player " + name);
}

void MprisPlayerWatch::Forget() {
    {
        const std::lock_guard lock(nameMutex_);
        name_.clear();
    }
    owner_.clear();
}

std::string MprisPlayerWatch::Name() const {
    const std::lock_guard lock(nameMutex_);
    return name_;
}

bool MprisPlayerWatch::FromPlayer(sd_bus_message* message) const {
    const char* sender = sd_bus_message_get_sender(message);
    return !owner_.empty() && sender != nullptr && owner_ == sender;
}

MprisPlayerWatch::Change MprisPlayerWatch::OnNameOwnerChanged(sd_bus_message* message) {
    const char* name = nullptr;
    const char* oldOwner = nullptr;
    const char* newOwner = nullptr;
    if (sd_bus_message_read(message, "sss", &name, &oldOwner, &newOwner) < 0) {
        return Change::None;
    }
    const std::string followed = Name();
    if (!followed.empty() && followed == name) {
        if (*newOwner == '\0') {
            log_.Info("the MPRIS player " + followed + " left the session bus");
            Forget();
            return Change::Left;
        }
        owner_ = newOwner;
        return Change::NewOwner;
    }
    if (followed.empty() && *newOwner != '\0' && Matches(name)) {
        return Change::Appeared;
    }
    return Change::None;
}

} // namespace lum::lumd
