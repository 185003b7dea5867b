#include "platform/Clock.h"

#include <windows.h>

namespace lum::platform {
namespace {

SYSTEMTIME ToSystemTime(const LocalDateTime& when) {
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(when.Year);
    time.wMonth = static_cast<WORD>(when.Month);
    time.wDay = static_cast<WORD>(when.Day);
    time.wHour = static_cast<WORD>(when.Hour);
    time.wMinute = static_cast<WORD>(when.Minute);
    time.wSecond = static_cast<WORD>(when.Second);
    return time;
}

} // namespace

LocalDateTime CurrentLocalTime() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::string ShortDateText(const LocalDateTime& when) {
    const SYSTEMTIME time = ToSystemTime(when);
    char buffer[128] = {};
    const int length =
        GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, buffer, sizeof buffer);
    return length > 0 ? std::string(buffer) : std::string();
}

std::string LongTimeText(const LocalDateTime& when) {
    const SYSTEMTIME time = ToSystemTime(when);
    char buffer[128] = {};
    const int length =
        GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &time, nullptr, buffer, sizeof buffer);
    return length > 0 ? std::string(buffer) : std::string();
}

} // namespace lum::platform
