#pragma once
// What a test of the lumd program needs around it: a folder, the display's line (2 x 40, so
// that the test titles fit without scrolling), a settings file written with the plug-in's
// writer, and lumd itself, in the foreground with its messages at debug level.

#include "DisplayLine.h"
#include "LumdProcess.h"
#include "Processes.h"
#include "settings/Settings.h"

#include <memory>
#include <string>
#include <vector>

namespace lum::lumd::testing {

/// The line's width and line count in the tests.
inline constexpr int kTestWidth = 40;
inline constexpr int kTestLines = 2;

/// The settings of the tests: the display on, 2 x 40 at 9600 baud, refresh every 300 ms, line
/// 1 the title, line 2 the state, the position and the album of the file's ID3v1 tag.
[[nodiscard]] Settings TestSettings();

/// A folder with a display line and a settings file, and lumd on them.
class LumdBed {
public:
    LumdBed();

    [[nodiscard]] DisplayLine& Line() { return line_; }
    [[nodiscard]] std::string Path(const std::string& name) const;
    [[nodiscard]] const std::string& SettingsFile() const { return settings_; }
    void WriteSettings(const Settings& settings);

    /// Starts lumd with `source` (its source options and any other) on the line and the settings
    /// file (or the file options `file`), in the foreground unless not, with its messages at debug
    /// level and the display in Windows-1252 unless `source` names a character set; with
    /// --lcdproc in `source`, LCDd's display takes the line's place.
    LumdProcess& Start(const std::vector<std::string>& source, bool foreground = true,
                       const std::vector<std::string>& file = {});
    [[nodiscard]] LumdProcess& Lumd() { return *lumd_; }

    /// Waits for the display's start from `mark` on: the banner, and then the first frame after
    /// it, which it answers (none when they did not come in time).
    [[nodiscard]] std::optional<LineEvent> WaitForStart(std::size_t mark = 0);

private:
    TempFolder folder_;
    DisplayLine line_;
    std::string settings_;
    std::unique_ptr<LumdProcess> lumd_;
};

/// A demo playlist of the test music in `folder` (written there), for --playlist.
[[nodiscard]] std::string WritePlaylist(const std::string& folder);

} // namespace lum::lumd::testing
