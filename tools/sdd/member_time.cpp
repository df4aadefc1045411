#include "tools/sdd/member_time.h"

#include "tools/sdd/archive_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {

struct DosFields {
    int year, month, day, hour, minute, second;
};

std::optional<DosFields> fieldsOf(std::uint32_t dosTime) {
    const DosFields f{static_cast<int>(dosTime >> 25) + 1980, static_cast<int>(dosTime >> 21 & 0x0F),
                      static_cast<int>(dosTime >> 16 & 0x1F), static_cast<int>(dosTime >> 11 & 0x1F),
                      static_cast<int>(dosTime >> 5 & 0x3F),  static_cast<int>(dosTime & 0x1F) * 2};
    if (f.month < 1 || f.month > 12 || f.day < 1 || f.hour > 23 || f.minute > 59 || f.second > 59)
        return std::nullopt;
    return f;
}

std::optional<std::time_t> sourceDateEpoch() {
    const char* value = std::getenv("SOURCE_DATE_EPOCH");
    if (!value || !*value)
        return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long long seconds = std::strtoll(value, &end, 10);
    if (*end != '\0' || errno != 0 || seconds < 0)
        return std::nullopt;
    return static_cast<std::time_t>(seconds);
}

} // namespace

std::optional<std::time_t> unixTimeOf(std::uint32_t dosTime) {
    const std::optional<DosFields> f = fieldsOf(dosTime);
    if (!f)
        return std::nullopt;
    std::tm tm{};
    tm.tm_year = f->year - 1900;
    tm.tm_mon = f->month - 1;
    tm.tm_mday = f->day;
    tm.tm_hour = f->hour;
    tm.tm_min = f->minute;
    tm.tm_sec = f->second;
    tm.tm_isdst = -1; // whatever daylight saving the local zone had on that day
    const std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1))
        return std::nullopt;
    return t;
}

std::uint32_t dosTimeOf(std::time_t modified) {
    std::tm tm{};
    const std::optional<std::time_t> epoch = sourceDateEpoch();
    if (epoch) {
        modified = std::min(modified, *epoch);
        gmtime_r(&modified, &tm);
    } else {
        localtime_r(&modified, &tm);
    }
    if (tm.tm_year + 1900 < 1980)
        return dosTime(1980, 1, 1);
    if (tm.tm_year + 1900 > 2107)
        return dosTime(2107, 12, 31, 23, 59, 58);
    return dosTime(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
}

std::string formatDosTime(std::uint32_t dosTime) {
    const std::optional<DosFields> f = fieldsOf(dosTime);
    if (!f)
        return "unknown date    "; // a field that names no day
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", f->year, f->month, f->day, f->hour,
                  f->minute);
    return text;
}
