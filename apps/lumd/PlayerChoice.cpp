#include "apps/lumd/PlayerChoice.h"

#include "apps/lumd/MpdSource.h"
#include "apps/lumd/MprisSource.h"
#include "apps/lumd/PlaylistPlayer.h"

#include <filesystem>

namespace lum::lumd {
namespace {

template <typename Source> ChosenPlayer Chosen(std::shared_ptr<Source> source, std::string text) {
    ChosenPlayer chosen;
    chosen.Now = source.get();
    chosen.Transport = source.get();
    chosen.Start = [raw = source.get()](StartCallback started) { raw->Start(std::move(started)); };
    chosen.Owner = std::move(source);
    chosen.Description = std::move(text);
    return chosen;
}

} // namespace

std::optional<ChosenPlayer> ChoosePlayer(const LumdOptions& options, Log& log,
                                         ChangeCallback onChange,
                                         std::function<std::uint64_t()> clock) {
    switch (options.Source) {
    case SourceKind::Mpd: {
        MpdSourceOptions mpd;
        mpd.Address = options.Mpd;
        mpd.MusicDirectory = options.MusicDirectory;
        mpd.OnChange = std::move(onChange);
        return Chosen(std::make_shared<MpdSource>(std::move(mpd), log),
                      "MPD at " + options.Mpd.Text());
    }
    case SourceKind::Mpris: {
        MprisSourceOptions mpris;
        mpris.NameFilter = options.PlayerName;
        mpris.OnChange = std::move(onChange);
        return Chosen(std::make_shared<MprisSource>(std::move(mpris), log),
                      options.PlayerName.empty()
                          ? std::string("the first MPRIS player")
                          : "the MPRIS player named like '" + options.PlayerName + "'");
    }
    case SourceKind::Playlist:
        break;
    }
    const std::string path = std::filesystem::absolute(options.Playlist).string();
    auto entries = ReadPlaylist(path);
    if (const auto* problem = std::get_if<std::string>(&entries)) {
        log.Error(*problem);
        return std::nullopt;
    }
    auto player = std::make_shared<PlaylistPlayer>(
        std::get<std::vector<host::PlaylistEntry>>(std::move(entries)), std::move(clock),
        std::move(onChange));
    return Chosen(std::move(player), "the playlist " + path);
}

} // namespace lum::lumd
