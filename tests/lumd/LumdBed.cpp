#include "LumdBed.h"

#include "TestMusic.h"
#include "common/Windows1252.h"
#include "settings/SettingsFile.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace lum::lumd::testing {

using namespace std::chrono_literals;

Settings TestSettings() {
    Settings settings;
    settings.DisplayOff = false;
    settings.LineWidth = kTestWidth;
    settings.LineCount = kTestLines;
    settings.BaudRateIndex = 2; // 9600
    settings.Slot(1, 1) = {"%titel", kScrollOff};
    settings.Slot(1, 2) = {"%status %winampzeit %id3album", kScrollOff};
    return settings;
}

LumdBed::LumdBed()
    : line_(folder_.Path() + "/display", kTestWidth, kTestLines),
      settings_(folder_.Path() + "/gen_lum.ini") {
    WriteSettings(TestSettings());
}

std::string LumdBed::Path(const std::string& name) const {
    return folder_.Path() + "/" + name;
}

void LumdBed::WriteSettings(const Settings& settings) {
    SaveSettingsFile(settings_, settings);
}

LumdProcess& LumdBed::Start(const std::vector<std::string>& source, bool foreground,
                            const std::vector<std::string>& file) {
    std::vector<std::string> arguments = source;
    arguments.insert(arguments.end(), {"--log-level", "debug"});
    // LCDd's display takes the place of the line, and its character set is LCDd's.
    if (std::ranges::count(source, "--lcdproc") == 0) {
        arguments.insert(arguments.end(), {"--port", line_.Link()});
        if (std::ranges::count(source, "--charset") == 0) {
            // The display shows Windows-1252, as the test texts are written.
            arguments.insert(arguments.end(), {"--charset", "cp1252"});
        }
    }
    if (file.empty()) {
        arguments.insert(arguments.end(), {"--settings", settings_});
    } else {
        arguments.insert(arguments.end(), file.begin(), file.end());
    }
    if (foreground) {
        arguments.emplace_back("--foreground");
    }
    lumd_ = std::make_unique<LumdProcess>(arguments, Path("lumd.log"));
    return *lumd_;
}

std::optional<LineEvent> LumdBed::WaitForStart(std::size_t mark) {
    // The banner comes 1.25 s after the port opens, for 4 s.
    const auto banner = line_.WaitFor(mark, BannerFrame(), 8s);
    if (!banner) {
        return std::nullopt;
    }
    return line_.WaitFor(
        banner->Index + 1, [](const LineEvent& e) { return e.IsFrame() && !BannerFrame()(e); }, 6s);
}

std::string WritePlaylist(const std::string& folder) {
    std::filesystem::create_directories(folder);
    MakeTestMusic(folder, StandardTracks(), 30);
    const std::string path = folder + "/list.m3u";
    std::ofstream list(path);
    list << "#EXTM3U\n";
    for (const TestTrack& track : StandardTracks()) {
        list << "#EXTINF:30," << Utf8ToWindows1252(track.Artist + " - " + track.Title) << "\n"
             << track.File << "\n";
    }
    return path;
}

} // namespace lum::lumd::testing
