// Calendar fields of a PT_SYSTIME value (FILETIME: 100 ns units since 1601-01-01 UTC).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "value_bytes.h"

namespace parcelo {

struct CalendarTime {
    int year = 1601;
    int month = 1;  // 1 to 12
    int day = 1;    // 1 to 31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The UTC calendar time of a FILETIME count, by the proleptic Gregorian calendar.
CalendarTime FileTimeToCalendar(uint64_t fileTime);

// The calendar time of a PT_SYSTIME value; nothing when it holds fewer than 8 bytes.
std::optional<CalendarTime> SysTimeValue(const ValueBytes& value);

// "20050301T140509Z".
std::string FormatUtcDateTime(const CalendarTime& time);

}  // namespace parcelo
