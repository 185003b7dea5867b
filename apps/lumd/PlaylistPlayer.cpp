#include "apps/lumd/PlaylistPlayer.h"

#include "tools/common/EscapedText.h"
#include "tools/common/FileProblems.h"

#include <filesystem>

namespace lum::lumd {

std::variant<std::vector<host::PlaylistEntry>, std::string> ReadPlaylist(const std::string& path) {
    const std::string shown = tools::EscapeText(path);
    const auto bytes = tools::ReadPlainFile(path, host::kMaxPlaylistBytes);
    if (!bytes) {
        std::error_code error;
        if (std::filesystem::file_size(path, error) > host::kMaxPlaylistBytes && !error) {
            return shown + ": longer than any playlist (16 MiB)";
        }
        return shown + ": " + tools::ReadFailureCause(path);
    }
    const std::string folder = std::filesystem::path(path).parent_path().string() + "/";
    try {
        return host::ParsePlaylist(std::string(bytes->begin(), bytes->end()), folder,
                                   host::PathStyle::Posix);
    } catch (const host::PlaylistError& error) {
        return shown + ": not a playlist: " + error.Message;
    }
}

PlaylistPlayer::PlaylistPlayer(std::vector<host::PlaylistEntry> entries,
                               std::function<std::uint64_t()> clock, ChangeCallback onChange)
    : host_(host::SimulatedPlayer(std::move(entries)), std::move(clock)),
      player_(host_.Messenger()), onChange_(std::move(onChange)) {}

void PlaylistPlayer::Start(const StartCallback& started) {
    Send(TransportCommand::Play);
    started({});
}

void PlaylistPlayer::Send(TransportCommand command) {
    player_.Send(command);
    if (onChange_) {
        onChange_();
    }
}

} // namespace lum::lumd
