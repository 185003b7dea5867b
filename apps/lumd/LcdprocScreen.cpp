#include "apps/lumd/LcdprocScreen.h"

#include "common/TableOrder.h"

#include <algorithm>
#include <charconv>
#include <iterator>

namespace lum::lumd {
namespace {

/// The screen's and the client's name on LCDd.
constexpr std::string_view kScreen = "lumd";
/// The most widgets: a text set's lines.
constexpr std::size_t kMostLines = 8;
/// The largest size a connect answer may give.
constexpr std::size_t kLargestSize = 255;

struct PriorityRow {
    ScreenPriority Priority;
    std::string_view Name;
    bool WhenIdle; ///< a stopped player's screen may have it
};

// clang-format off
constexpr PriorityRow kPriorities[] = {
    // Priority                     Name          WhenIdle
    {ScreenPriority::Foreground, "foreground", false},
    {ScreenPriority::Info,       "info",       true},
    {ScreenPriority::Background, "background", true},
    {ScreenPriority::Hidden,     "hidden",     true},
};
// clang-format on
static_assert(std::size(kPriorities) == 4);
static_assert(RowsInEnumOrder<&PriorityRow::Priority>(kPriorities));

/// The blank-separated word after `key` in `line` as a size; none when missing or out of range.
std::optional<std::size_t> SizeAfter(std::string_view line, std::string_view key) {
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t end = std::min(line.find(' ', at), line.size());
        if (line.substr(at, end - at) == key) {
            const std::size_t valueEnd = std::min(line.find(' ', end + 1), line.size());
            const std::string_view value =
                end < line.size() ? line.substr(end + 1, valueEnd - end - 1) : std::string_view{};
            std::size_t size = 0;
            const auto [stop, error] =
                std::from_chars(value.data(), value.data() + value.size(), size);
            if (error != std::errc() || stop != value.data() + value.size() || size == 0 ||
                size > kLargestSize) {
                return std::nullopt;
            }
            return size;
        }
        at = end + 1;
    }
    return std::nullopt;
}

std::string WidgetName(std::size_t index) {
    return "l" + std::to_string(index + 1);
}

} // namespace

std::string_view PriorityName(ScreenPriority priority) {
    return kPriorities[static_cast<std::size_t>(priority)].Name;
}

std::optional<ScreenPriority> IdlePriorityNamed(std::string_view name) {
    for (const PriorityRow& row : kPriorities) {
        if (row.WhenIdle && row.Name == name) {
            return row.Priority;
        }
    }
    return std::nullopt;
}

std::optional<LcdSize> ParseConnectAnswer(std::string_view line) {
    if (!line.starts_with("connect ")) {
        return std::nullopt;
    }
    const std::optional<std::size_t> width = SizeAfter(line, "wid");
    const std::optional<std::size_t> height = SizeAfter(line, "hgt");
    if (!width || !height) {
        return std::nullopt;
    }
    return LcdSize{*width, *height};
}

std::string QuotedArgument(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '{' || c == '}' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + '"';
}

std::string LcdprocScreen::Connected(LcdSize size) {
    widgets_ = std::min(size.Height, kMostLines);
    sentLines_.assign(widgets_, std::nullopt);
    sentPriority_.reset();
    sentBacklight_.reset();
    const std::string screen(kScreen);
    std::string commands = "client_set -name " + screen + "\nscreen_add " + screen +
                           "\nscreen_set " + screen + " -name " + screen + " -heartbeat off\n";
    for (std::size_t index = 0; index < widgets_; ++index) {
        commands += "widget_add " + screen + " " + WidgetName(index) + " string\n";
    }
    return commands;
}

std::string LcdprocScreen::Updates() {
    const std::string screen(kScreen);
    std::string commands;
    if (widgets_ == 0) {
        return commands;
    }
    if (sentPriority_ != priority_ || sentBacklight_ != backlight_) {
        commands += "screen_set " + screen + " -priority " + std::string(PriorityName(priority_)) +
                    " -backlight " + (backlight_ ? "on" : "off") + "\n";
        sentPriority_ = priority_;
        sentBacklight_ = backlight_;
    }
    for (std::size_t index = 0; index < widgets_; ++index) {
        const std::string_view line = index < lines_.size() ? lines_[index] : std::string_view{};
        if (sentLines_[index] != line) {
            commands += "widget_set " + screen + " " + WidgetName(index) + " 1 " +
                        std::to_string(index + 1) + " " + QuotedArgument(line) + "\n";
            sentLines_[index] = std::string(line);
        }
    }
    return commands;
}

} // namespace lum::lumd
