#include "apps/lumd/MpdSource.h"

#include "apps/lumd/FileUrl.h"

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <mpd/client.h>
#include <optional>
#include <poll.h>
#include <pthread.h>
#include <utility>

namespace lum::lumd {
namespace {

constexpr auto kIdleEvents =
    static_cast<mpd_idle>(MPD_IDLE_PLAYER | MPD_IDLE_QUEUE | MPD_IDLE_DATABASE);

std::string ErrorText(mpd_connection& connection) {
    const char* text = mpd_connection_get_error_message(&connection);
    return text != nullptr ? text : "unknown error";
}

bool IsServerError(mpd_connection& connection) {
    return mpd_connection_get_error(&connection) == MPD_ERROR_SERVER;
}

// Every value of `type` joined by ", "; empty when the song has none.
std::string JoinedTag(const mpd_song& song, mpd_tag_type type) {
    std::string joined;
    for (unsigned i = 0; const char* value = mpd_song_get_tag(&song, type, i); ++i) {
        if (!joined.empty()) {
            joined += ", ";
        }
        joined += value;
    }
    return joined;
}

std::string FirstTag(const mpd_song& song, mpd_tag_type type) {
    const char* value = mpd_song_get_tag(&song, type, 0);
    return value != nullptr ? value : "";
}

// The number at the start of a track tag ("3", "03", "3/12"); 0 when there is none, 255 at most.
std::uint8_t TrackNumber(const std::string& text) {
    unsigned number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            break;
        }
        number = std::min(number * 10 + static_cast<unsigned>(c - '0'), 255U);
    }
    return static_cast<std::uint8_t>(number);
}

TrackTags TagsOf(const mpd_song& song) {
    TrackTags tags;
    tags.Artist = JoinedTag(song, MPD_TAG_ARTIST);
    tags.Title = FirstTag(song, MPD_TAG_TITLE);
    tags.Album = FirstTag(song, MPD_TAG_ALBUM);
    tags.Date = FirstTag(song, MPD_TAG_DATE);
    tags.Comment = FirstTag(song, MPD_TAG_COMMENT);
    tags.Genre = FirstTag(song, MPD_TAG_GENRE);
    tags.Track = TrackNumber(FirstTag(song, MPD_TAG_TRACK));
    return tags;
}

PlayState StateOf(const mpd_status& status) {
    switch (mpd_status_get_state(&status)) {
    case MPD_STATE_PLAY:
        return PlayState::Playing;
    case MPD_STATE_PAUSE:
        return PlayState::Paused;
    default:
        return PlayState::Stopped;
    }
}

bool RunCommand(mpd_connection& connection, TransportCommand command) {
    switch (command) {
    case TransportCommand::Previous:
        return mpd_run_previous(&connection);
    case TransportCommand::Play:
        return mpd_run_play(&connection);
    case TransportCommand::Pause:
        return mpd_run_toggle_pause(&connection);
    case TransportCommand::Stop:
        return mpd_run_stop(&connection);
    case TransportCommand::Next:
        return mpd_run_next(&connection);
    }
    return true;
}

// A music folder given on the command line, as an absolute path.
std::string AbsoluteFolder(const std::string& folder) {
    return folder.empty() ? folder : std::filesystem::absolute(folder).lexically_normal().string();
}

// A stop shuts the socket down under libmpdclient's feet: a send on it must then fail, not end
// the process.
void BlockBrokenPipes() {
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
}

} // namespace

MpdSource::MpdSource(MpdSourceOptions options, Log& log)
    : SnapshotSource(options.Clock, options.OnChange), options_(std::move(options)), log_(log),
      reconnection_(inbox_, log_, options_.RetryInterval, "MPD is not connected"),
      musicDirectory_(AbsoluteFolder(options_.MusicDirectory)) {}

MpdSource::~MpdSource() {
    inbox_.RequestStop();
    if (worker_.joinable()) {
        worker_.join();
    }
}

void MpdSource::Start(StartCallback started) {
    worker_ = std::thread([this, started = std::move(started)] { Work(started); });
}

void MpdSource::Work(const StartCallback& started) {
    pthread_setname_np(pthread_self(), "lumd-mpd"); // for ps and the benchmark's threads
    BlockBrokenPipes();
    Attempt attempt = Connect();
    if (attempt.Outcome != StartOutcome::Refused && !attempt.Link) {
        reconnection_.FailedAtStart(attempt.Message); // the caller says it
    }
    started({attempt.Outcome, attempt.Message});
    if (attempt.Outcome != StartOutcome::Refused) {
        Run(std::move(attempt.Link));
    }
}

void MpdSource::Send(TransportCommand command) {
    inbox_.Post(command);
}

MpdSource::Attempt MpdSource::Connect() {
    const MpdAddress& address = options_.Address;
    const std::string where = "MPD at " + address.Text();
    MpdDialled dialled = DialMpd(address, options_.Timeout, inbox_);
    if (!dialled.Connection) {
        return {nullptr, StartOutcome::Waiting, where + " cannot be reached: " + dialled.Error};
    }
    MpdConnection link = std::move(dialled.Connection);
    tagsCleared_ = false;
    if (!address.Password.empty() && !mpd_run_password(link.get(), address.Password.c_str())) {
        if (IsServerError(*link) &&
            mpd_connection_get_server_error(link.get()) == MPD_SERVER_ERROR_PASSWORD) {
            return {nullptr, StartOutcome::Refused, where + " refuses the password"};
        }
        return {nullptr, StartOutcome::Waiting, where + ": " + ErrorText(*link)};
    }
    // The status is what the worker asks first: a server that needs a password says so here.
    mpd_status* status = mpd_run_status(link.get());
    if (status == nullptr) {
        if (IsServerError(*link) &&
            mpd_connection_get_server_error(link.get()) == MPD_SERVER_ERROR_PERMISSION) {
            return {nullptr, StartOutcome::Refused,
                    where + " wants a password (give it as PASSWORD@HOST): " + ErrorText(*link)};
        }
        return {nullptr, StartOutcome::Waiting, where + ": " + ErrorText(*link)};
    }
    mpd_status_free(status);
    return {std::move(link), StartOutcome::Ready, {}};
}

std::string MpdSource::QueryMusicDirectory(mpd_connection& connection) {
    std::string directory;
    if (mpd_send_command(&connection, "config", nullptr)) {
        while (mpd_pair* pair = mpd_recv_pair(&connection)) {
            if (std::strcmp(pair->name, "music_directory") == 0) {
                directory = pair->value;
            }
            mpd_return_pair(&connection, pair);
        }
    }
    if (!mpd_response_finish(&connection) && IsServerError(connection)) {
        log_.Debug("MPD does not tell its music folder: " + ErrorText(connection));
        mpd_connection_clear_error(&connection);
    }
    if (!directory.empty() && !directory.starts_with('/')) {
        log_.Debug("MPD's music folder '" + directory + "' is no local path: no file is read");
        directory.clear();
    }
    return directory;
}

void MpdSource::Run(MpdConnection connection) {
    const std::string where = "MPD at " + options_.Address.Text();
    while (!inbox_.StopRequested()) {
        if (!connection) {
            if (!reconnection_.WaitToRetry()) {
                break;
            }
            Attempt attempt = Connect();
            if (!attempt.Link) {
                if (reconnection_.Failed(attempt.Message,
                                         attempt.Outcome == StartOutcome::Refused)) {
                    Publish(TrackSnapshot{});
                }
                continue;
            }
            connection = std::move(attempt.Link);
        }
        if (options_.MusicDirectory.empty() && options_.Address.IsLocalSocket()) {
            musicDirectory_ = QueryMusicDirectory(*connection);
        }
        while (!inbox_.StopRequested() && Refresh(*connection)) {
            reconnection_.Back(where + ": connected");
            if (!IdleOnce(*connection)) {
                break;
            }
        }
        if (inbox_.StopRequested()) {
            break;
        }
        const std::string lost = where + ": connection lost (" + ErrorText(*connection) + ")";
        connection.reset();
        if (std::exchange(rereadSong_, false)) {
            log_.Debug(lost + "; reading the current song again without its tags");
        } else if (reconnection_.Failed(lost)) {
            Publish(TrackSnapshot{});
        }
    }
}

bool MpdSource::Refresh(mpd_connection& connection) {
    mpd_status* status = mpd_run_status(&connection);
    if (status == nullptr) {
        return false;
    }
    TrackSnapshot snapshot;
    snapshot.Connected = true;
    snapshot.At = Now();
    snapshot.State = StateOf(*status);
    snapshot.ElapsedMs = mpd_status_get_elapsed_ms(status);
    snapshot.LengthMs = std::int64_t{mpd_status_get_total_time(status)} * 1000;
    const int songPosition = mpd_status_get_song_pos(status);
    const int songId = mpd_status_get_song_id(status);
    mpd_status_free(status);

    // A song whose tags did not fit in a line is read without them (MPD before 0.21 cannot).
    const bool fewerTags = songId >= 0 && songId == tooLongSongId_;
    if (fewerTags != tagsCleared_) {
        if (!(fewerTags ? mpd_run_clear_tag_types(&connection)
                        : mpd_run_all_tag_types(&connection))) {
            if (!IsServerError(connection)) {
                return false;
            }
            mpd_connection_clear_error(&connection);
        }
        tagsCleared_ = fewerTags;
    }
    mpd_song* song = mpd_run_current_song(&connection);
    if (song == nullptr) {
        // libmpdclient takes a line longer than its buffer as malformed and drops the connection.
        const mpd_error error = mpd_connection_get_error(&connection);
        if (error == MPD_ERROR_MALFORMED && !fewerTags && songId >= 0) {
            tooLongSongId_ = songId;
            rereadSong_ = true;
        }
        if (error != MPD_ERROR_SUCCESS) {
            return false;
        }
    } else {
        const std::string uri = mpd_song_get_uri(song);
        const TrackTags tags = TagsOf(*song);
        snapshot.HasEntry = true;
        snapshot.ListPosition =
            songPosition >= 0 ? songPosition : static_cast<std::int32_t>(mpd_song_get_pos(song));
        if (const unsigned durationMs = mpd_song_get_duration_ms(song); durationMs > 0) {
            snapshot.LengthMs = durationMs;
        }
        snapshot.Title = DisplayTitle(tags, uri);
        snapshot.FileName = LocalPath(uri);
        snapshot.Tag = PlayerTagOf(tags);
        mpd_song_free(song);
    }
    Publish(std::move(snapshot));
    return true;
}

bool MpdSource::IdleOnce(mpd_connection& connection) {
    // Commands that came while connecting run first; the idle then reports what they changed.
    if (!RunCommands(connection) || !mpd_send_idle_mask(&connection, kIdleEvents)) {
        return false;
    }
    const int fd = mpd_connection_get_fd(&connection);
    WorkerInbox::Readiness ready;
    while (!ready.Inbox && ready.Events == 0) {
        ready = inbox_.Wait(fd, POLLIN, -1);
    }
    if (inbox_.StopRequested()) {
        return false; // the connection ends here: no "noidle" to wait for
    }
    // A wake-up ends the idle; when the server has answered meanwhile, it ignores the "noidle".
    if (ready.Events == 0 && !mpd_send_noidle(&connection)) {
        return false;
    }
    if (mpd_recv_idle(&connection, false) == 0 &&
        mpd_connection_get_error(&connection) != MPD_ERROR_SUCCESS) {
        return false;
    }
    return RunCommands(connection);
}

bool MpdSource::RunCommands(mpd_connection& connection) {
    for (const TransportCommand command : inbox_.TakeCommands()) {
        if (RunCommand(connection, command)) {
            continue;
        }
        if (!IsServerError(connection)) {
            return false;
        }
        log_.Warning("MPD refused '" + std::string(TransportCommandName(command)) +
                     "': " + ErrorText(connection));
        mpd_connection_clear_error(&connection);
    }
    return true;
}

std::string MpdSource::LocalPath(const std::string& uri) const {
    std::optional<std::string> path = LocalPathOfFileUrl(uri);
    if (!path && uri.find("://") == std::string::npos) {
        path = uri;
    }
    if (!path || musicDirectory_.empty()) {
        return {};
    }
    const std::optional<std::string> below = PathBelow(musicDirectory_, *path);
    return below && IsRegularFile(*below) ? *below : std::string();
}

} // namespace lum::lumd
