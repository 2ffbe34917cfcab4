#include "file_time.h"

#include <cstdio>

namespace parcelo {

CalendarTime FileTimeToCalendar(uint64_t fileTime) {
    const uint64_t seconds = fileTime / 10000000;
    const int64_t days = static_cast<int64_t>(seconds / 86400);
    const int64_t secondOfDay = static_cast<int64_t>(seconds % 86400);

    // Civil date from a day count (Howard Hinnant's algorithm), counted from 0000-03-01;
    // 1601-01-01 lies 584694 days after it.
    const int64_t z = days + 584694;
    const int64_t era = z / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t day = doy - (153 * mp + 2) / 5 + 1;
    const int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);

    CalendarTime time;
    time.year = static_cast<int>(year);
    time.month = static_cast<int>(month);
    time.day = static_cast<int>(day);
    time.hour = static_cast<int>(secondOfDay / 3600);
    time.minute = static_cast<int>(secondOfDay / 60 % 60);
    time.second = static_cast<int>(secondOfDay % 60);
    return time;
}

std::optional<CalendarTime> SysTimeValue(const ValueBytes& value) {
    if (value.size() < 8)
        return std::nullopt;
    const std::string b = value.prefix(8);
    uint64_t fileTime = 0;
    for (int i = 7; i >= 0; --i)
        fileTime = fileTime << 8 | static_cast<unsigned char>(b[i]);
    return FileTimeToCalendar(fileTime);
}

std::string FormatUtcDateTime(const CalendarTime& t) {
    char text[64];
    std::snprintf(text, sizeof text, "%04i%02i%02iT%02i%02i%02iZ", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    return text;
}

}  // namespace parcelo
