#include "display/PlayTime.h"

namespace lum {
namespace {

// The point from which the two fields hold hours and minutes: 99 minutes 59 seconds.
constexpr std::int64_t kHoursFrom = 5'999'000;

void AppendTwoDigits(std::string& text, std::int64_t value) {
    if (value < 10) {
        text += '0';
    }
    text += std::to_string(value);
}

} // namespace

std::string FormatPlayTime(std::int64_t ms) {
    if (ms < 0) {
        return "00:00";
    }
    const bool hours = ms >= kHoursFrom;
    const std::int64_t t = hours ? ms / 60 : ms;
    std::int64_t s = t / 1000;
    const std::int64_t rest = t % 1000;
    if (rest > 500 || (rest == 500 && s % 2 != 0)) {
        ++s;
    }
    std::string text;
    AppendTwoDigits(text, s / 60);
    text += hours ? 'h' : ':';
    AppendTwoDigits(text, s % 60);
    return text;
}

} // namespace lum
