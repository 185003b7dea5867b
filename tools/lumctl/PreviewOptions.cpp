#include "tools/lumctl/PreviewOptions.h"

#include "common/Decimal.h"
#include "settings/Settings.h"
#include "tools/common/EscapedText.h"

#include <limits>
#include <string_view>

namespace lum::tools {
namespace {

// The `digits` decimal digits of `text` at `at`, within [min, max].
std::optional<std::int32_t> Field(std::string_view text, std::size_t at, std::size_t digits,
                                  std::int32_t min, std::int32_t max) {
    std::int32_t value = 0;
    for (std::size_t i = at; i < at + digits; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
        value = value * 10 + (text[i] - '0');
    }
    return value >= min && value <= max ? std::optional(value) : std::nullopt;
}

std::int32_t DaysInMonth(std::int32_t year, std::int32_t month) {
    constexpr std::int32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// "YYYY-MM-DDTHH:MM:SS" as a local date and time.
std::optional<platform::LocalDateTime> ParseNow(std::string_view text) {
    constexpr std::string_view kShape = "0000-00-00T00:00:00";
    if (text.size() != kShape.size()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < kShape.size(); ++i) {
        if (kShape[i] != '0' && text[i] != kShape[i]) {
            return std::nullopt;
        }
    }
    const auto year = Field(text, 0, 4, 1601, 9999);
    const auto month = Field(text, 5, 2, 1, 12);
    const auto day = Field(text, 8, 2, 1, 31);
    const auto hour = Field(text, 11, 2, 0, 23);
    const auto minute = Field(text, 14, 2, 0, 59);
    const auto second = Field(text, 17, 2, 0, 59);
    if (!year || !month || !day || !hour || !minute || !second ||
        *day > DaysInMonth(*year, *month)) {
        return std::nullopt;
    }
    return platform::LocalDateTime{*year, *month, *day, *hour, *minute, *second};
}

std::optional<std::int32_t> ParseState(std::string_view text) {
    if (text == "stop") {
        return 0;
    }
    if (text == "play") {
        return 1;
    }
    if (text == "pause") {
        return 3;
    }
    return std::nullopt;
}

} // namespace

void DeclarePreviewOptions(CommandLine& line, PreviewOptions& options) {
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    line.Value("--settings", [&options](const std::string& path) {
        if (path.empty()) {
            throw BadValue("needs a value");
        }
        options.SettingsFile = path;
    });
    line.Value("--ticks", WholeNumberInto(options.Ticks, 0, kMax));
    line.Value("--title", [&options](const std::string& escaped) {
        const auto title = UnescapeConsoleText(escaped);
        if (!title) {
            throw BadValue("malformed escape (\\xHH, \\\" and \\\\ are the escapes)");
        }
        options.Title = *title;
    });
    line.Value("--file", [&options](const std::string& path) { options.File = path; });
    line.Value("--state", [&options](const std::string& state) {
        const auto number = ParseState(state);
        if (!number) {
            throw BadValue("must be stop, play or pause");
        }
        options.PlayState = *number;
    });
    line.Value("--position-ms", WholeNumberInto(options.PositionMs, kMin, kMax));
    line.Value("--length-s", WholeNumberInto(options.LengthS, kMin, kMax));
    line.Value("--playlist-pos", WholeNumberInto(options.PlaylistPos, kMin, kMax));
    line.Value("--now", [&options](const std::string& now) {
        options.Now = ParseNow(now);
        if (!options.Now) {
            throw BadValue("must be a local date and time YYYY-MM-DDTHH:MM:SS");
        }
    });
    line.Value("--active-set", WholeNumberInto(options.ActiveSet, 1, kTextSetCount + 1));
    line.Flag("--banner", options.Banner);
    line.Value("--rotate-every", WholeNumberInto(options.RotateEvery, 0, kMax));
    line.Values("--set", [&options](const std::string& assignment) {
        options.Assignments.push_back(assignment);
    });
}

} // namespace lum::tools
