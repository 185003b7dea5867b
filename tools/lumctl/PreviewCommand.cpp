#include "tools/lumctl/PreviewCommand.h"

#include "common/Decimal.h"
#include "display/DisplayEngine.h"
#include "display/SetRotation.h"
#include "host/HostPlayer.h"
#include "tools/common/EscapedText.h"
#include "tools/common/HostModel.h"

#include <algorithm>
#include <limits>

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

// The display port of the preview: keeps what was sent.
class CapturingPort : public DisplayPort {
public:
    std::string Sent;

    void SendText(std::string_view text) override { Sent.assign(text); }
    [[nodiscard]] bool SendInProgress() const override { return false; }
};

} // namespace

std::variant<PreviewOptions, std::string>
ParsePreviewOptions(const std::vector<std::string>& args) {
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    // The options that take a number, with the range each accepts.
    const struct NumberOption {
        std::string_view Name;
        std::int32_t PreviewOptions::*Target;
        std::int32_t Min;
        std::int32_t Max;
    } kNumberOptions[] = {
        {"--ticks", &PreviewOptions::Ticks, 0, kMax},
        {"--position-ms", &PreviewOptions::PositionMs, kMin, kMax},
        {"--length-s", &PreviewOptions::LengthS, kMin, kMax},
        {"--playlist-pos", &PreviewOptions::PlaylistPos, kMin, kMax},
        {"--active-set", &PreviewOptions::ActiveSet, 1, kTextSetCount + 1},
        {"--rotate-every", &PreviewOptions::RotateEvery, 0, kMax},
    };
    constexpr std::string_view kOtherValueOptions[] = {"--settings", "--title", "--file",
                                                       "--state",    "--now",   "--set"};

    PreviewOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--banner") {
            options.Banner = true;
            continue;
        }
        const auto* number = std::find_if(std::begin(kNumberOptions), std::end(kNumberOptions),
                                          [&option](const auto& o) { return o.Name == option; });
        if (number == std::end(kNumberOptions) &&
            std::find(std::begin(kOtherValueOptions), std::end(kOtherValueOptions), option) ==
                std::end(kOtherValueOptions)) {
            return "unknown option " + EscapeText(option);
        }
        if (i + 1 == args.size()) {
            return option + " needs a value";
        }
        const std::string& value = args[++i];
        if (number != std::end(kNumberOptions)) {
            const auto parsed = ParseDecimal(value);
            if (!parsed || *parsed < number->Min || *parsed > number->Max) {
                return option + " must be a whole number from " + std::to_string(number->Min) +
                       " to " + std::to_string(number->Max) + ", not '" + EscapeText(value) + "'";
            }
            options.*(number->Target) = *parsed;
            continue;
        }
        bool valid = true;
        if (option == "--settings") {
            options.SettingsFile = value;
        } else if (option == "--title") {
            const auto title = UnescapeText(value);
            valid = title.has_value();
            options.Title = title.value_or("");
        } else if (option == "--file") {
            options.File = value;
        } else if (option == "--state") {
            const auto state = ParseState(value);
            valid = state.has_value();
            options.PlayState = state.value_or(0);
        } else if (option == "--now") {
            options.Now = ParseNow(value);
            valid = options.Now.has_value();
        } else {
            options.Assignments.push_back(value);
        }
        if (!valid) {
            return "bad value for " + option + ": '" + EscapeText(value) + "'";
        }
    }
    return options;
}

void RunPreview(const PreviewOptions& options, const Settings& settings,
                const std::function<void(const std::string&)>& onFrame) {
    // The host player as the preview simulates it: fixed answers from the options.
    host::FixedHost host;
    host.RecordQueries = false;
    host.PlayState = options.PlayState;
    host.PositionMs = options.PositionMs;
    host.LengthS = options.LengthS;
    host.ListPos = options.PlaylistPos;
    host.Title = options.Title;
    host.FileName = options.File;
    HostPlayer player(host.Messenger());

    CapturingPort port;
    LocalClock clock = &platform::CurrentLocalTime;
    if (options.Now) {
        clock = [now = *options.Now] { return now; };
    }
    DisplayEngine engine(settings, player, port, clock);
    engine.Shown().ActiveSet = options.ActiveSet;
    engine.SetBannerPeriod(options.Banner);

    for (std::int32_t tick = 1; tick <= options.Ticks; ++tick) {
        port.Sent.clear();
        engine.RefreshTick();
        onFrame(port.Sent);
        if (options.RotateEvery > 0 && tick % options.RotateEvery == 0) {
            RotateSet(settings, engine.Shown());
        }
    }
}

} // namespace lum::tools
