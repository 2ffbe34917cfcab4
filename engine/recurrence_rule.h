// Outlook's binary recurrence pattern (PidLidAppointmentRecur), read once into a structure
// from which both the RRULE line of a VEVENT and the words of an item card are made.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "file_time.h"
#include "output_file.h"
#include "property_lookup.h"

namespace parcelo {

// What a pattern says, as far as the RRULE line and its words read it.
struct Recurrence {
    enum class Frequency { kUnknown, kDaily, kWeekly, kMonthly, kYearly };
    // How the occurrences are placed within the frequency. kNone: a layout the rule does
    // not describe (the line then names the frequency alone).
    enum class By { kNone, kInterval, kWeekdays, kDayMask, kMonthDay, kNthWeekday };
    enum class End { kNever, kAfterCount, kByDate };

    Frequency frequency = Frequency::kUnknown;
    By by = By::kNone;
    // Days, weeks or months between occurrences; a daily pattern's comes from the message
    // (PidLidDayInterval) and may be absent. A yearly one is never read.
    std::optional<int> interval;
    uint8_t dayMask = 0;  // bit 0 Sunday to bit 6 Saturday
    int monthDay = 0;
    int week = 0;   // 1 to 4, or -1 for the last
    int month = 0;  // yearly: 1 to 12, 0 when the first date matches no month start
    End end = End::kNever;
    int count = 0;                        // kAfterCount and kByDate: the stored count
    std::optional<CalendarTime> endDate;  // kByDate, when the pattern holds its end date
};

// The pattern read; nothing when it is too short to hold one. `lookup` gives the
// message's daily interval.
std::optional<Recurrence> ReadRecurrence(std::string_view pattern, const PropertyLookup& lookup);

// The whole RRULE line, "\n" included.
std::string RecurrenceRuleLine(const Recurrence& recurrence);

// The same for a pattern; empty when the pattern is too short to hold one.
std::string RecurrenceRuleLine(std::string_view pattern, const PropertyLookup& lookup);

// Writes the RRULE line of the pattern, or nothing.
void WriteRecurrenceRule(OutputFile& out, std::string_view pattern, const PropertyLookup& lookup);

// The rule in words: "every Tuesday until 3 March 2026", "every 2 weeks on Monday and
// Wednesday, 10 times".
std::string RecurrenceWords(const Recurrence& recurrence);

// "3 March 2026".
std::string DateWords(const CalendarTime& date);

}  // namespace parcelo
