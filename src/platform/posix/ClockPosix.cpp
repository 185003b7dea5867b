#include "platform/Clock.h"

#include <ctime>

namespace lum::platform {
namespace {

// Appends `value` in decimal with at least `digits` digits (leading zeros).
void AppendPadded(std::string& text, std::int32_t value, int digits) {
    char buffer[12];
    int length = 0;
    auto magnitude = static_cast<std::uint32_t>(value < 0 ? -static_cast<std::int64_t>(value)
                                                          : static_cast<std::int64_t>(value));
    do {
        buffer[length++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (length < digits) {
        buffer[length++] = '0';
    }
    if (value < 0) {
        text += '-';
    }
    while (length > 0) {
        text += buffer[--length];
    }
}

} // namespace

LocalDateTime CurrentLocalTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (::localtime_r(&now, &local) == nullptr) {
        return {};
    }
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::string ShortDateText(const LocalDateTime& when) {
    std::string text;
    text.reserve(10);
    AppendPadded(text, when.Day, 2);
    text += '.';
    AppendPadded(text, when.Month, 2);
    text += '.';
    AppendPadded(text, when.Year, 4);
    return text;
}

std::string LongTimeText(const LocalDateTime& when) {
    std::string text;
    text.reserve(8);
    AppendPadded(text, when.Hour, 2);
    text += ':';
    AppendPadded(text, when.Minute, 2);
    text += ':';
    AppendPadded(text, when.Second, 2);
    return text;
}

} // namespace lum::platform
