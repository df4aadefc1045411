#include "overlay/clock_text.h"

#include <charconv>
#include <cstdio>
#include <ctime>

std::string clockText(ClockTime time, bool twelveHour) {
    int hour = time.hour;
    bool afternoon = hour == 12;
    if (twelveHour) {
        if (hour == 0)
            hour = 12;
        if (hour > 12) {
            hour -= 12;
            afternoon = true;
        }
    }
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", hour, time.minute, time.second);
    std::string result = text;
    if (twelveHour)
        result += afternoon ? afternoonGlyph : morningGlyph;
    return result;
}

ClockTime localClockTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return {local.tm_hour, local.tm_min, local.tm_sec};
}

std::optional<ClockTime> parseClockTime(std::string_view text) {
    if (text.size() != 8 || text[2] != ':' || text[5] != ':')
        return std::nullopt;
    auto field = [&](std::size_t at, int limit, int& out) {
        const char* first = text.data() + at;
        auto [end, ec] = std::from_chars(first, first + 2, out);
        return ec == std::errc() && end == first + 2 && out >= 0 && out <= limit;
    };
    ClockTime time;
    if (!field(0, 23, time.hour) || !field(3, 59, time.minute) || !field(6, 59, time.second))
        return std::nullopt;
    return time;
}
