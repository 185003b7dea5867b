#include "apps/lumd/MprisSource.h"

#include "apps/lumd/MprisBus.h"
#include "apps/lumd/MprisMessages.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <limits>
#include <pthread.h>

namespace lum::lumd {
namespace {

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
    : SnapshotSource(options.Clock, options.OnChange), options_(std::move(options)), log_(log),
      reconnection_(inbox_, log_, options_.RetryInterval, "no D-Bus session bus"),
      watch_(options_.NameFilter, log_) {}

MprisSource::~MprisSource() {
    inbox_.RequestStop();
    if (worker_.joinable()) {
        worker_.join();
    }
}

void MprisSource::Start(StartCallback started) {
    worker_ = std::thread([this, started = std::move(started)] { Work(started); });
}

void MprisSource::Work(const StartCallback& started) {
    pthread_setname_np(pthread_self(), "lumd-mpris"); // for ps and the benchmark's threads
    if (std::string failure = OpenBus(); !failure.empty()) {
        started({StartOutcome::Refused, failure});
        return;
    }
    watch_.NoPlayerSaid(); // told by the result
    SelectPlayer();
    if (!watch_.Owner().empty()) {
        ReadAll();
    }
    changed_ = false;
    Publish(Snapshot());
    started(watch_.Owner().empty() ? StartResult{StartOutcome::Waiting, watch_.NoPlayerMessage()}
                                   : StartResult{});
    Run();
}

void MprisSource::Send(TransportCommand command) {
    inbox_.Post(command);
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
    while (!inbox_.StopRequested()) {
        if (!bus_) {
            if (!reconnection_.WaitToRetry()) {
                break;
            }
            if (std::string failure = OpenBus(); !failure.empty()) {
                reconnection_.Failed(failure);
                continue;
            }
            reconnection_.Back("D-Bus session bus: connected");
            asked_.Players = true;
        }
        if (const std::string lost = Pump(); !lost.empty()) {
            reconnection_.Failed(lost);
            if (inbox_.StopRequested()) {
                break;
            }
            bus_.reset();
            Forget();
            Publish(Snapshot());
        }
    }
}

std::string MprisSource::Pump() {
    for (;;) {
        int result = 0;
        while ((result = sd_bus_process(bus_.get(), nullptr)) > 0) {
        }
        if (result < 0) {
            return std::string("D-Bus session bus lost: ") + std::strerror(-result);
        }
        if (inbox_.StopRequested()) {
            return {};
        }
        if (!AskWhatWaits()) {
            break;
        }
    }
    const int events = sd_bus_get_events(bus_.get());
    std::uint64_t until = 0;
    const int result = events < 0 ? events : sd_bus_get_timeout(bus_.get(), &until);
    if (result < 0) {
        return std::string("D-Bus session bus lost: ") + std::strerror(-result);
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
    return {};
}

bool MprisSource::AskWhatWaits() {
    bool worked = false;
    const auto following = [this] { return !watch_.Owner().empty(); };
    if (asked_.Players) {
        asked_.Players = false;
        SelectPlayer();
        worked = true;
    }
    if (asked_.All && following()) {
        ReadAll();
        worked = true;
    }
    if (asked_.Position && following()) {
        ReadPosition();
        worked = true;
    }
    if (asked_.TrackList && following()) {
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

void MprisSource::SelectPlayer() {
    switch (watch_.Select(bus_.get())) {
    case MprisPlayerWatch::Found::Player:
        facts_ = {};
        asked_.All = true;
        changed_ = true;
        break;
    case MprisPlayerWatch::Found::None:
        Forget();
        changed_ = true;
        break;
    case MprisPlayerWatch::Found::Unknown:
        break;
    }
}

void MprisSource::Forget() {
    watch_.Forget();
    facts_ = {};
    asked_.All = asked_.Position = asked_.TrackList = false;
}

void MprisSource::Note(const PropertiesRead& read) {
    changed_ = changed_ || read.Changed;
    asked_.Position = asked_.Position || read.PositionStale;
    if (read.TrackChanged) {
        asked_.TrackList = facts_.HasTrackList;
    }
}

void MprisSource::ReadAll() {
    asked_.All = false;
    BusError error;
    BusReply reply;
    const std::string& owner = watch_.Owner();
    int result = sd_bus_call_method(bus_.get(), owner.c_str(), kPlayerPath,
                                    "org.freedesktop.DBus.Properties", "GetAll", &error.Error,
                                    &reply.Message, "s", kPlayerInterface);
    if (result >= 0) {
        PropertiesRead read;
        result = ReadProperties(reply.Message, facts_, Now(), read);
        Note(read);
    }
    if (result < 0) {
        log_.Warning("the MPRIS player does not tell its state: " + error.Text(result));
    }
    BusError listError;
    int hasTrackList = 0;
    facts_.HasTrackList =
        sd_bus_get_property_trivial(bus_.get(), owner.c_str(), kPlayerPath, kRootInterface,
                                    "HasTrackList", &listError.Error, 'b', &hasTrackList) >= 0 &&
        hasTrackList != 0;
    asked_.TrackList = facts_.HasTrackList;
    changed_ = true;
}

void MprisSource::ReadPosition() {
    asked_.Position = false;
    BusError error;
    std::int64_t position = 0;
    const int result =
        sd_bus_get_property_trivial(bus_.get(), watch_.Owner().c_str(), kPlayerPath,
                                    kPlayerInterface, "Position", &error.Error, 'x', &position);
    if (result < 0) {
        log_.Debug("the MPRIS player does not tell its position: " + error.Text(result));
        position = 0;
    }
    facts_.PositionUs = std::max<std::int64_t>(position, 0);
    facts_.PositionAt = Now();
    changed_ = true;
}

void MprisSource::ReadTrackList() {
    asked_.TrackList = false;
    BusError error;
    BusReply reply;
    const int result =
        sd_bus_get_property(bus_.get(), watch_.Owner().c_str(), kPlayerPath, kTrackListInterface,
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
    if (watch_.Owner().empty()) {
        log_.Warning("no MPRIS player: '" + word + "' dropped");
        return;
    }
    const int result = sd_bus_call_method_async(bus_.get(), nullptr, watch_.Owner().c_str(),
                                                kPlayerPath, kPlayerInterface, MethodOf(command),
                                                &Handlers::CommandReply, this, "");
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

void MprisSource::OnNameOwnerChanged(sd_bus_message* message) {
    switch (watch_.OnNameOwnerChanged(message)) {
    case MprisPlayerWatch::Change::Left:
        Forget();
        changed_ = true;
        asked_.Players = true;
        break;
    case MprisPlayerWatch::Change::NewOwner:
        facts_ = {};
        asked_.All = true;
        break;
    case MprisPlayerWatch::Change::Appeared:
        asked_.Players = true;
        break;
    case MprisPlayerWatch::Change::None:
        break;
    }
}

void MprisSource::OnPropertiesChanged(sd_bus_message* message) {
    const char* interface = nullptr;
    if (!watch_.FromPlayer(message) || sd_bus_message_read_basic(message, 's', &interface) < 0 ||
        std::strcmp(interface, kPlayerInterface) != 0) {
        return;
    }
    PropertiesRead read;
    const int result = ReadProperties(message, facts_, Now(), read);
    Note(read);
    if (result < 0) {
        asked_.All = true;
        return;
    }
    char** invalidated = nullptr;
    if (sd_bus_message_read_strv(message, &invalidated) >= 0 && invalidated != nullptr) {
        for (char** name = invalidated; *name != nullptr; ++name) {
            const std::string_view property = *name;
            if (property == "PlaybackStatus" || property == "Metadata" || property == "Rate") {
                asked_.All = true;
            }
            std::free(*name);
        }
        std::free(invalidated);
    }
}

void MprisSource::OnSeeked(sd_bus_message* message) {
    std::int64_t position = 0;
    if (watch_.FromPlayer(message) && sd_bus_message_read_basic(message, 'x', &position) > 0) {
        facts_.PositionUs = std::max<std::int64_t>(position, 0);
        facts_.PositionAt = Now();
        changed_ = true;
    }
}

TrackSnapshot MprisSource::Snapshot() const {
    return watch_.Owner().empty() ? TrackSnapshot{} : SnapshotOf(facts_);
}

} // namespace lum::lumd
