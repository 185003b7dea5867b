#include "apps/lumd/MprisSource.h"

#include "apps/lumd/FileUrl.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ctime>
#include <limits>
#include <optional>
#include <pthread.h>
#include <systemd/sd-bus.h>
#include <vector>

namespace lum::lumd {
namespace {

constexpr const char* kBusName = "org.freedesktop.DBus";
constexpr const char* kBusPath = "/org/freedesktop/DBus";
constexpr const char* kPlayerPrefix = "org.mpris.MediaPlayer2.";
constexpr const char* kPlayerPath = "/org/mpris/MediaPlayer2";
constexpr const char* kRootInterface = "org.mpris.MediaPlayer2";
constexpr const char* kPlayerInterface = "org.mpris.MediaPlayer2.Player";
constexpr const char* kTrackListInterface = "org.mpris.MediaPlayer2.TrackList";

constexpr const char* kNameOwnerChangedRule =
    "type='signal',sender='org.freedesktop.DBus',interface='org.freedesktop.DBus',"
    "member='NameOwnerChanged',arg0namespace='org.mpris.MediaPlayer2'";
constexpr const char* kPropertiesChangedRule =
    "type='signal',interface='org.freedesktop.DBus.Properties',member='PropertiesChanged',"
    "path='/org/mpris/MediaPlayer2',arg0='org.mpris.MediaPlayer2.Player'";
constexpr const char* kSeekedRule =
    "type='signal',interface='org.mpris.MediaPlayer2.Player',member='Seeked',"
    "path='/org/mpris/MediaPlayer2'";

// Frees an sd_bus_error or a reply at the end of a scope.
struct ErrorHolder {
    sd_bus_error Error = SD_BUS_ERROR_NULL;
    ~ErrorHolder() { sd_bus_error_free(&Error); }
    [[nodiscard]] std::string Text(int result) const {
        return Error.message != nullptr ? Error.message : std::strerror(-result);
    }
};
struct MessageHolder {
    sd_bus_message* Message = nullptr;
    ~MessageHolder() { sd_bus_message_unref(Message); }
};

const char* MethodOf(TransportCommand command) {
    switch (command) {
    case TransportCommand::Previous:
        return "Previous";
    case TransportCommand::Play:
        return "Play";
    case TransportCommand::Pause:
        return "PlayPause";
    case TransportCommand::Stop:
        return "Stop";
    case TransportCommand::Next:
        return "Next";
    }
    return "PlayPause";
}

// The strings of a variant's value that holds a string, an object path or an array of either;
// the value is skipped and none returned for any other type.
std::optional<std::vector<std::string>> ReadStrings(sd_bus_message* message, const char* type) {
    const std::string_view contents = type;
    if (contents == "s" || contents == "o") {
        const char* value = nullptr;
        if (sd_bus_message_read_basic(message, contents[0], &value) < 0) {
            return std::nullopt;
        }
        return std::vector<std::string>{value};
    }
    if (contents == "as" || contents == "ao") {
        if (sd_bus_message_enter_container(message, 'a', type + 1) < 0) {
            return std::nullopt;
        }
        std::vector<std::string> values;
        const char* value = nullptr;
        while (sd_bus_message_read_basic(message, contents[1], &value) > 0) {
            values.emplace_back(value);
        }
        sd_bus_message_exit_container(message);
        return values;
    }
    sd_bus_message_skip(message, type);
    return std::nullopt;
}

// The number held by a variant's value of any integer or floating type; other types are skipped.
std::optional<double> ReadNumber(sd_bus_message* message, const char* type) {
    const std::string_view contents = type;
    if (contents.size() != 1 || std::strchr("ybnqiuxtd", contents[0]) == nullptr) {
        sd_bus_message_skip(message, type);
        return std::nullopt;
    }
    union {
        std::uint8_t Byte;
        std::int16_t Int16;
        std::uint16_t UInt16;
        std::int32_t Int32;
        std::uint32_t UInt32;
        std::int64_t Int64;
        std::uint64_t UInt64;
        double Double;
    } value{};
    if (sd_bus_message_read_basic(message, contents[0], &value) < 0) {
        return std::nullopt;
    }
    switch (contents[0]) {
    case 'y':
        return value.Byte;
    case 'b':
    case 'i':
        return value.Int32;
    case 'n':
        return value.Int16;
    case 'q':
        return value.UInt16;
    case 'u':
        return value.UInt32;
    case 'x':
        return static_cast<double>(value.Int64);
    case 't':
        return static_cast<double>(value.UInt64);
    default:
        return value.Double;
    }
}

// A count of microseconds from the player (a length, a position): the number when it is finite
// and lies from 0 up to what 64 bits hold; none for a negative, infinite or not-a-number value.
std::optional<std::int64_t> Microseconds(std::optional<double> number) {
    if (!number || !std::isfinite(*number) || *number < 0 || *number >= 0x1p63) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(*number);
}

// A track number from the player: 0-255, 0 for a value that is no number.
std::uint8_t TrackNumber(std::optional<double> number) {
    return number && std::isfinite(*number)
               ? static_cast<std::uint8_t>(std::clamp(*number, 0.0, 255.0))
               : 0;
}

std::string Joined(const std::vector<std::string>& values) {
    std::string joined;
    for (const std::string& value : values) {
        if (!joined.empty()) {
            joined += ", ";
        }
        joined += value;
    }
    return joined;
}

std::string First(const std::vector<std::string>& values) {
    return values.empty() ? std::string() : values.front();
}

// Reads the metadata dictionary (a{sv}) at the message's position into `tags` and the rest.
int ReadMetadata(sd_bus_message* message, TrackTags& tags, std::string& url, std::string& trackId,
                 std::int64_t& lengthUs) {
    tags = {};
    url.clear();
    trackId.clear();
    lengthUs = 0;
    int result = sd_bus_message_enter_container(message, 'a', "{sv}");
    if (result < 0) {
        return result;
    }
    while ((result = sd_bus_message_enter_container(message, 'e', "sv")) > 0) {
        const char* key = nullptr;
        const char* type = nullptr;
        if ((result = sd_bus_message_read_basic(message, 's', &key)) < 0 ||
            (result = sd_bus_message_peek_type(message, nullptr, &type)) < 0 ||
            (result = sd_bus_message_enter_container(message, 'v', type)) < 0) {
            return result;
        }
        const std::string_view name = key;
        if (name == "mpris:length") {
            lengthUs = Microseconds(ReadNumber(message, type)).value_or(0); // else unknown
        } else if (name == "xesam:trackNumber") {
            tags.Track = TrackNumber(ReadNumber(message, type));
        } else if (const auto strings = ReadStrings(message, type)) {
            if (name == "xesam:artist") {
                tags.Artist = Joined(*strings);
            } else if (name == "xesam:title") {
                tags.Title = First(*strings);
            } else if (name == "xesam:album") {
                tags.Album = First(*strings);
            } else if (name == "xesam:contentCreated") {
                tags.Date = First(*strings);
            } else if (name == "xesam:comment") {
                tags.Comment = First(*strings);
            } else if (name == "xesam:genre") {
                tags.Genre = First(*strings);
            } else if (name == "xesam:url") {
                url = First(*strings);
            } else if (name == "mpris:trackid") {
                trackId = First(*strings);
            }
        }
        sd_bus_message_exit_container(message); // the variant
        sd_bus_message_exit_container(message); // the entry
    }
    if (result < 0) {
        return result;
    }
    return sd_bus_message_exit_container(message);
}

std::uint64_t MonotonicMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1'000'000 +
           static_cast<std::uint64_t>(now.tv_nsec) / 1000;
}

} // namespace

struct MprisSource::Handlers {
    static int NameOwnerChanged(sd_bus_message* message, void* self, sd_bus_error* /*error*/) {
        static_cast<MprisSource*>(self)->OnNameOwnerChanged(message);
        return 0;
    }
    static int PropertiesChanged(sd_bus_message* message, void* self, sd_bus_error* /*error*/) {
        static_cast<MprisSource*>(self)->OnPropertiesChanged(message);
        return 0;
    }
    static int Seeked(sd_bus_message* message, void* self, sd_bus_error* /*error*/) {
        static_cast<MprisSource*>(self)->OnSeeked(message);
        return 0;
    }
    static int CommandReply(sd_bus_message* message, void* self, sd_bus_error* /*error*/) {
        static_cast<MprisSource*>(self)->OnCommandReply(message);
        return 0;
    }
};

void MprisSource::BusCloser::operator()(sd_bus* bus) const {
    sd_bus_flush_close_unref(bus);
}

MprisSource::MprisSource(MprisSourceOptions options, Log& log)
    : SnapshotSource(options.Clock, options.OnChange), options_(std::move(options)), log_(log) {}

MprisSource::~MprisSource() {
    inbox_.RequestStop();
    if (worker_.joinable()) {
        worker_.join();
    }
}

StartResult MprisSource::Start() {
    if (std::string failure = OpenBus(); !failure.empty()) {
        return {StartOutcome::Refused, failure};
    }
    noPlayerReported_ = true; // told by the result
    SelectPlayer();
    if (!owner_.empty()) {
        ReadAll();
    }
    changed_ = false;
    Publish(Snapshot());
    StartResult result;
    if (owner_.empty()) {
        result = {StartOutcome::Waiting, NoPlayerMessage()};
    }
    worker_ = std::thread(&MprisSource::Run, this);
    return result;
}

std::string MprisSource::NoPlayerMessage() const {
    return "no MPRIS player on the session bus" +
           (options_.NameFilter.empty() ? std::string()
                                        : " whose name contains '" + options_.NameFilter + "'") +
           "; waiting for one";
}

void MprisSource::Send(TransportCommand command) {
    inbox_.Post(command);
}

std::string MprisSource::PlayerName() const {
    const std::lock_guard lock(nameMutex_);
    return name_;
}

std::string MprisSource::OpenBus() {
    sd_bus* raw = nullptr;
    int result = sd_bus_open_user(&raw);
    Bus bus(raw);
    if (result < 0) {
        return std::string("no D-Bus session bus: ") + std::strerror(-result);
    }
    sd_bus_set_method_call_timeout(bus.get(),
                                   static_cast<std::uint64_t>(options_.CallTimeout.count()) * 1000);
    if ((result = sd_bus_add_match(bus.get(), nullptr, kNameOwnerChangedRule,
                                   &Handlers::NameOwnerChanged, this)) < 0 ||
        (result = sd_bus_add_match(bus.get(), nullptr, kPropertiesChangedRule,
                                   &Handlers::PropertiesChanged, this)) < 0 ||
        (result = sd_bus_add_match(bus.get(), nullptr, kSeekedRule, &Handlers::Seeked, this)) < 0) {
        return std::string("the D-Bus session bus does not answer: ") + std::strerror(-result);
    }
    bus_ = std::move(bus);
    return {};
}

void MprisSource::Run() {
    pthread_setname_np(pthread_self(), "lumd-mpris"); // for ps and the benchmark's threads
    while (!inbox_.StopRequested()) {
        if (!bus_) {
            // The loss has been reported; the attempts that fail until the bus is back have not.
            if (std::string failure = OpenBus(); !failure.empty()) {
                log_.Debug(failure);
                WaitToRetry();
                continue;
            }
            log_.Info("D-Bus session bus: connected");
            selectPending_ = true;
        }
        if (!Pump()) {
            if (inbox_.StopRequested()) {
                break;
            }
            bus_.reset();
            Forget();
            Publish(Snapshot());
        }
    }
}

bool MprisSource::Pump() {
    for (;;) {
        int result = 0;
        while ((result = sd_bus_process(bus_.get(), nullptr)) > 0) {
        }
        if (result < 0) {
            log_.Warning(std::string("D-Bus session bus lost: ") + std::strerror(-result) +
                         "; trying again every second");
            return false;
        }
        if (inbox_.StopRequested()) {
            return true;
        }
        if (!DoPendingWork()) {
            break;
        }
    }
    const int events = sd_bus_get_events(bus_.get());
    std::uint64_t until = 0;
    if (events < 0 || sd_bus_get_timeout(bus_.get(), &until) < 0) {
        return false;
    }
    int timeoutMs = -1;
    if (until != std::numeric_limits<std::uint64_t>::max()) {
        const std::uint64_t now = MonotonicMicroseconds();
        timeoutMs = until <= now
                        ? 0
                        : static_cast<int>(std::min<std::uint64_t>(
                              (until - now + 999) / 1000, std::numeric_limits<int>::max()));
    }
    (void)inbox_.Wait(sd_bus_get_fd(bus_.get()), static_cast<short>(events), timeoutMs);
    return true;
}

bool MprisSource::DoPendingWork() {
    bool worked = false;
    if (selectPending_) {
        selectPending_ = false;
        SelectPlayer();
        worked = true;
    }
    if (readAllPending_ && !owner_.empty()) {
        ReadAll();
        worked = true;
    }
    if (positionPending_ && !owner_.empty()) {
        ReadPosition();
        worked = true;
    }
    if (trackListPending_ && !owner_.empty()) {
        ReadTrackList();
        worked = true;
    }
    for (const TransportCommand command : inbox_.TakeCommands()) {
        CallPlayer(command);
        worked = true;
    }
    if (changed_) {
        changed_ = false;
        Publish(Snapshot());
        worked = true;
    }
    return worked;
}

void MprisSource::WaitToRetry() {
    const auto until = std::chrono::steady_clock::now() + options_.RetryInterval;
    for (auto now = std::chrono::steady_clock::now(); now < until && !inbox_.StopRequested();
         now = std::chrono::steady_clock::now()) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - now);
        if (inbox_.Wait(-1, 0, static_cast<int>(left.count())).Inbox) {
            for (const TransportCommand command : inbox_.TakeCommands()) {
                log_.Warning("no D-Bus session bus: '" +
                             std::string(TransportCommandName(command)) + "' dropped");
            }
        }
    }
}

bool MprisSource::Matches(const std::string& name) const {
    return name.starts_with(kPlayerPrefix) &&
           name.find(options_.NameFilter, std::strlen(kPlayerPrefix)) != std::string::npos;
}

void MprisSource::SelectPlayer() {
    ErrorHolder error;
    MessageHolder reply;
    int result = sd_bus_call_method(bus_.get(), kBusName, kBusPath, kBusName, "ListNames",
                                    &error.Error, &reply.Message, "");
    char** names = nullptr;
    if (result >= 0) {
        result = sd_bus_message_read_strv(reply.Message, &names);
    }
    if (result < 0) {
        log_.Warning("the session bus does not list its names: " + error.Text(result));
        return;
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
        ErrorHolder ownerError;
        MessageHolder ownerReply;
        const char* owner = nullptr;
        if (sd_bus_call_method(bus_.get(), kBusName, kBusPath, kBusName, "GetNameOwner",
                               &ownerError.Error, &ownerReply.Message, "s", player.c_str()) >= 0 &&
            sd_bus_message_read_basic(ownerReply.Message, 's', &owner) > 0) {
            Follow(player, owner);
            return;
        }
    }
    Forget();
    changed_ = true;
    if (!noPlayerReported_) {
        log_.Info(NoPlayerMessage());
        noPlayerReported_ = true;
    }
}

void MprisSource::Follow(const std::string& name, const std::string& owner) {
    {
        const std::lock_guard lock(nameMutex_);
        name_ = name;
    }
    owner_ = owner;
    facts_ = {};
    readAllPending_ = true;
    changed_ = true;
    noPlayerReported_ = false;
    log_.Info("following the MPRIS player " + name);
}

void MprisSource::Forget() {
    {
        const std::lock_guard lock(nameMutex_);
        name_.clear();
    }
    owner_.clear();
    facts_ = {};
    readAllPending_ = positionPending_ = trackListPending_ = false;
}

void MprisSource::ReadAll() {
    readAllPending_ = false;
    ErrorHolder error;
    MessageHolder reply;
    int result = sd_bus_call_method(bus_.get(), owner_.c_str(), kPlayerPath,
                                    "org.freedesktop.DBus.Properties", "GetAll", &error.Error,
                                    &reply.Message, "s", kPlayerInterface);
    if (result >= 0) {
        result = ApplyProperties(reply.Message);
    }
    if (result < 0) {
        log_.Warning("the MPRIS player does not tell its state: " + error.Text(result));
    }
    ErrorHolder listError;
    int hasTrackList = 0;
    facts_.HasTrackList =
        sd_bus_get_property_trivial(bus_.get(), owner_.c_str(), kPlayerPath, kRootInterface,
                                    "HasTrackList", &listError.Error, 'b', &hasTrackList) >= 0 &&
        hasTrackList != 0;
    trackListPending_ = facts_.HasTrackList;
    changed_ = true;
}

void MprisSource::ReadPosition() {
    positionPending_ = false;
    ErrorHolder error;
    std::int64_t position = 0;
    const int result =
        sd_bus_get_property_trivial(bus_.get(), owner_.c_str(), kPlayerPath, kPlayerInterface,
                                    "Position", &error.Error, 'x', &position);
    if (result < 0) {
        log_.Debug("the MPRIS player does not tell its position: " + error.Text(result));
        position = 0;
    }
    facts_.PositionUs = std::max<std::int64_t>(position, 0);
    facts_.PositionAt = Now();
    changed_ = true;
}

void MprisSource::ReadTrackList() {
    trackListPending_ = false;
    ErrorHolder error;
    MessageHolder reply;
    int result = sd_bus_get_property(bus_.get(), owner_.c_str(), kPlayerPath, kTrackListInterface,
                                     "Tracks", &error.Error, &reply.Message, "ao");
    if (result < 0) {
        log_.Debug("the MPRIS player's track list cannot be read: " + error.Text(result));
        return;
    }
    const auto tracks = ReadStrings(reply.Message, "ao");
    if (!tracks) {
        return;
    }
    const auto found = std::ranges::find(*tracks, facts_.TrackId);
    facts_.ListPosition =
        found == tracks->end() ? 0 : static_cast<std::int32_t>(found - tracks->begin());
    changed_ = true;
}

void MprisSource::CallPlayer(TransportCommand command) {
    const std::string word(TransportCommandName(command));
    if (owner_.empty()) {
        log_.Warning("no MPRIS player: '" + word + "' dropped");
        return;
    }
    const int result =
        sd_bus_call_method_async(bus_.get(), nullptr, owner_.c_str(), kPlayerPath, kPlayerInterface,
                                 MethodOf(command), &Handlers::CommandReply, this, "");
    if (result < 0) {
        log_.Warning("'" + word +
                     "' cannot be sent to the MPRIS player: " + std::strerror(-result));
    }
}

void MprisSource::OnCommandReply(sd_bus_message* message) {
    if (const sd_bus_error* failure = sd_bus_message_get_error(message)) {
        log_.Warning(std::string("the MPRIS player refused a command: ") +
                     (failure->message != nullptr ? failure->message : failure->name));
    }
}

bool MprisSource::FromPlayer(sd_bus_message* message) const {
    const char* sender = sd_bus_message_get_sender(message);
    return !owner_.empty() && sender != nullptr && owner_ == sender;
}

void MprisSource::OnNameOwnerChanged(sd_bus_message* message) {
    const char* name = nullptr;
    const char* oldOwner = nullptr;
    const char* newOwner = nullptr;
    if (sd_bus_message_read(message, "sss", &name, &oldOwner, &newOwner) < 0) {
        return;
    }
    const std::string followed = PlayerName();
    if (!followed.empty() && followed == name) {
        if (*newOwner == '\0') {
            log_.Info("the MPRIS player " + followed + " left the session bus");
            Forget();
            changed_ = true;
            selectPending_ = true;
        } else {
            owner_ = newOwner;
            facts_ = {};
            readAllPending_ = true;
        }
    } else if (followed.empty() && *newOwner != '\0' && Matches(name)) {
        selectPending_ = true;
    }
}

void MprisSource::OnPropertiesChanged(sd_bus_message* message) {
    const char* interface = nullptr;
    if (!FromPlayer(message) || sd_bus_message_read_basic(message, 's', &interface) < 0 ||
        std::strcmp(interface, kPlayerInterface) != 0) {
        return;
    }
    if (ApplyProperties(message) < 0) {
        readAllPending_ = true;
        return;
    }
    char** invalidated = nullptr;
    if (sd_bus_message_read_strv(message, &invalidated) >= 0 && invalidated != nullptr) {
        for (char** name = invalidated; *name != nullptr; ++name) {
            const std::string_view property = *name;
            if (property == "PlaybackStatus" || property == "Metadata" || property == "Rate") {
                readAllPending_ = true;
            }
            std::free(*name);
        }
        std::free(invalidated);
    }
}

void MprisSource::OnSeeked(sd_bus_message* message) {
    std::int64_t position = 0;
    if (FromPlayer(message) && sd_bus_message_read_basic(message, 'x', &position) > 0) {
        facts_.PositionUs = std::max<std::int64_t>(position, 0);
        facts_.PositionAt = Now();
        changed_ = true;
    }
}

int MprisSource::ApplyProperties(sd_bus_message* message) {
    int result = sd_bus_message_enter_container(message, 'a', "{sv}");
    if (result < 0) {
        return result;
    }
    while ((result = sd_bus_message_enter_container(message, 'e', "sv")) > 0) {
        const char* key = nullptr;
        const char* type = nullptr;
        if ((result = sd_bus_message_read_basic(message, 's', &key)) < 0 ||
            (result = sd_bus_message_peek_type(message, nullptr, &type)) < 0) {
            return result;
        }
        const std::string_view name = key;
        if (name == "Metadata" && std::string_view(type) == "a{sv}") {
            if ((result = sd_bus_message_enter_container(message, 'v', type)) < 0 ||
                (result = ReadMetadata(message, facts_.Tags, facts_.Url, facts_.TrackId,
                                       facts_.LengthUs)) < 0) {
                return result;
            }
            sd_bus_message_exit_container(message);
            positionPending_ = true;
            trackListPending_ = facts_.HasTrackList;
        } else if ((result = sd_bus_message_enter_container(message, 'v', type)) < 0) {
            return result;
        } else if (name == "PlaybackStatus") {
            facts_.Status = First(ReadStrings(message, type).value_or(std::vector<std::string>{}));
            positionPending_ = true;
            sd_bus_message_exit_container(message);
        } else if (name == "Rate") {
            // A rate that is no finite number from 0 up would run the position anywhere.
            if (const auto rate = ReadNumber(message, type);
                rate && std::isfinite(*rate) && *rate >= 0) {
                facts_.Rate = *rate;
            }
            positionPending_ = true;
            sd_bus_message_exit_container(message);
        } else if (name == "Position") {
            facts_.PositionUs = Microseconds(ReadNumber(message, type)).value_or(0);
            facts_.PositionAt = Now();
            sd_bus_message_exit_container(message);
        } else {
            sd_bus_message_skip(message, type);
            sd_bus_message_exit_container(message);
        }
        sd_bus_message_exit_container(message); // the entry
        changed_ = true;
    }
    if (result < 0) {
        return result;
    }
    return sd_bus_message_exit_container(message);
}

TrackSnapshot MprisSource::Snapshot() const {
    TrackSnapshot snapshot;
    if (owner_.empty()) {
        return snapshot;
    }
    snapshot.Connected = true;
    snapshot.State = facts_.Status == "Playing"  ? PlayState::Playing
                     : facts_.Status == "Paused" ? PlayState::Paused
                                                 : PlayState::Stopped;
    snapshot.HasEntry = !facts_.Url.empty() || !facts_.Tags.Title.empty();
    if (!snapshot.HasEntry) {
        return snapshot;
    }
    snapshot.ListPosition = facts_.ListPosition;
    snapshot.Title = DisplayTitle(facts_.Tags, facts_.Url);
    // The player is the user's own: any local regular file it plays is read, never a relative
    // name (a file:// URL's path is absolute).
    if (auto local = LocalPathOfFileUrl(facts_.Url); local && IsRegularFile(*local)) {
        snapshot.FileName = std::move(*local);
    }
    snapshot.Tag = PlayerTagOf(facts_.Tags);
    snapshot.ElapsedMs = facts_.PositionUs / 1000;
    snapshot.At = facts_.PositionAt;
    snapshot.Rate = facts_.Rate;
    snapshot.LengthMs = facts_.LengthUs / 1000;
    return snapshot;
}

} // namespace lum::lumd
