#include "recurrence_rule.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace parcelo {

namespace {

constexpr size_t kMinimumPatternSize = 31;
constexpr uint32_t kLidDayInterval = PropertyTag(0x0011, kPtI2);

constexpr uint8_t kDaily = 0x0A;
constexpr uint8_t kWeekly = 0x0B;
constexpr uint8_t kMonthly = 0x0C;
constexpr uint8_t kYearly = 0x0D;
constexpr uint8_t kOnDayOfMonth = 2;
constexpr uint8_t kOnNthWeekday = 3;
constexpr uint8_t kEndAfterDate = 0x21;
constexpr uint8_t kEndAfterCount = 0x22;
constexpr uint8_t kNoEnd = 0x23;
constexpr uint8_t kEveryWeekday = 0x3E;
constexpr uint8_t kLastWeek = 5;
constexpr uint64_t kFileTimePerMinute = 600'000'000;

// Offsets into the pattern (MS-OXOCAL RecurrencePattern).
constexpr size_t kFrequencyAt = 4;
constexpr size_t kPatternTypeAt = 6;
constexpr size_t kFirstDateAt = 10;
constexpr size_t kPeriodAt = 14;
constexpr size_t kSpecificAt = 22;
constexpr size_t kNthWeekAt = 26;

constexpr std::array<const char*, 7> kDayCodes = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};
constexpr std::array<const char*, 7> kDayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                  "Thursday", "Friday", "Saturday"};
constexpr std::array<const char*, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

class Pattern {
  public:
    explicit Pattern(std::string_view bytes) : bytes_(bytes) {}

    uint8_t byte(size_t at) const { return static_cast<uint8_t>(bytes_[at]); }
    int signedByte(size_t at) const { return static_cast<int8_t>(bytes_[at]); }
    uint16_t word(size_t at) const { return static_cast<uint16_t>(byte(at) | byte(at + 1) << 8); }
    bool holds(uint64_t at, uint64_t size) const { return at + size <= bytes_.size(); }
    uint32_t dword(size_t at) const { return word(at) | static_cast<uint32_t>(word(at + 2)) << 16; }

    // The end of the series from the end type at `endTypeAt`. Both a date and a count end
    // it by the stored count: the files written so far have never held UNTIL. A pattern
    // cut short before its count is taken as having no end.
    void readEnd(size_t endTypeAt, Recurrence& recurrence) const {
        const size_t countAt = endTypeAt + 4;
        if (!holds(countAt, 2))
            return;
        const uint8_t endType = byte(endTypeAt);
        if (endType != kEndAfterDate && endType != kEndAfterCount)
            return;
        recurrence.end =
            endType == kEndAfterDate ? Recurrence::End::kByDate : Recurrence::End::kAfterCount;
        recurrence.count = word(countAt);
        if (endType == kEndAfterDate)
            recurrence.endDate = endDate(endTypeAt);
    }

  private:
    // The end date lies after the lists of deleted and modified occurrences.
    std::optional<CalendarTime> endDate(size_t endTypeAt) const {
        uint64_t at = endTypeAt + 12;  // past the count and the first day of the week
        for (int list = 0; list < 2; ++list) {
            if (!holds(at, 4))
                return std::nullopt;
            at += 4 + uint64_t{4} * dword(at);
        }
        at += 4;  // the start date
        if (!holds(at, 4))
            return std::nullopt;
        return FileTimeToCalendar(dword(at) * kFileTimePerMinute);
    }

    std::string_view bytes_;
};

std::string dayMaskText(uint8_t mask) {
    std::string text;
    for (size_t day = 0; day < kDayCodes.size(); ++day) {
        if ((mask & 1u << day) == 0)
            continue;
        if (!text.empty())
            text += ',';
        text += kDayCodes[day];
    }
    return text;
}

// The month whose first day lies this many minutes (low 16 bits) after 1601-01-01.
int monthOfFirstDate(uint16_t minutes) {
    static constexpr std::array<uint16_t, 12> kMonthStarts = {0x0000, 0xAE60, 0x4BE0, 0xFA40,
                                                              0xA300, 0x5160, 0xFA20, 0xA880,
                                                              0x56E0, 0xFFA0, 0xAE00, 0x56C0};
    for (size_t i = 0; i < kMonthStarts.size(); ++i) {
        if (kMonthStarts[i] == minutes)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

int nthWeek(const Pattern& pattern) {
    return pattern.byte(kNthWeekAt) == kLastWeek ? -1 : pattern.signedByte(kNthWeekAt);
}

void readDaily(const Pattern& pattern, const PropertyLookup& lookup, Recurrence& recurrence) {
    const uint8_t kind = pattern.byte(kSpecificAt);
    if (kind == kNoEnd || kind == kEndAfterCount || kind == kEndAfterDate) {
        recurrence.by = Recurrence::By::kInterval;
        if (const std::optional<ValueBytes> interval = lookup.namedValue(kLidDayInterval))
            recurrence.interval = LittleEndian16(*interval);
        pattern.readEnd(kSpecificAt, recurrence);
    } else if (kind == kEveryWeekday) {
        recurrence.by = Recurrence::By::kWeekdays;
        pattern.readEnd(kSpecificAt + 4, recurrence);
    }
}

// Monthly and yearly patterns share their two layouts.
void readDayOfPeriod(const Pattern& pattern, Recurrence& recurrence) {
    switch (pattern.byte(kPatternTypeAt)) {
        case kOnDayOfMonth:
            recurrence.by = Recurrence::By::kMonthDay;
            recurrence.monthDay = pattern.signedByte(kSpecificAt);
            pattern.readEnd(kSpecificAt + 4, recurrence);
            break;
        case kOnNthWeekday:
            recurrence.by = Recurrence::By::kNthWeekday;
            recurrence.dayMask = pattern.byte(kSpecificAt);
            recurrence.week = nthWeek(pattern);
            pattern.readEnd(kSpecificAt + 8, recurrence);
            break;
    }
}

std::string countPart(const Recurrence& recurrence) {
    return recurrence.end == Recurrence::End::kNever ? std::string()
                                                     : ";COUNT=" + std::to_string(recurrence.count);
}

std::string dailyPart(const Recurrence& recurrence) {
    std::string part = "DAILY";
    if (recurrence.by == Recurrence::By::kInterval) {
        if (recurrence.interval)
            part += ";INTERVAL=" + std::to_string(*recurrence.interval);
        part += countPart(recurrence);
    } else if (recurrence.by == Recurrence::By::kWeekdays) {
        part += ";BYDAY=MO,TU,WE,TH,FR" + countPart(recurrence);
    }
    return part;
}

std::string weeklyPart(const Recurrence& recurrence) {
    return "WEEKLY;INTERVAL=" + std::to_string(recurrence.interval.value_or(0)) +
           ";BYDAY=" + dayMaskText(recurrence.dayMask) + countPart(recurrence);
}

std::string monthlyPart(const Recurrence& recurrence) {
    std::string part = "MONTHLY";
    const std::string interval = std::to_string(recurrence.interval.value_or(0));
    if (recurrence.by == Recurrence::By::kMonthDay) {
        part += ";INTERVAL=" + interval + ";BYMONTHDAY=" + std::to_string(recurrence.monthDay) +
                countPart(recurrence);
    } else if (recurrence.by == Recurrence::By::kNthWeekday) {
        part += ";BYDAY=" + dayMaskText(recurrence.dayMask) +
                ";BYSETPOS=" + std::to_string(recurrence.week) + ";INTERVAL=" + interval +
                countPart(recurrence);
    }
    return part;
}

std::string yearlyPart(const Recurrence& recurrence) {
    std::string part = "YEARLY;BYMONTH=" + std::to_string(recurrence.month);
    if (recurrence.by == Recurrence::By::kMonthDay) {
        part += ";BYMONTHDAY=" + std::to_string(recurrence.monthDay) + countPart(recurrence);
    } else if (recurrence.by == Recurrence::By::kNthWeekday) {
        part += ";BYDAY=" + dayMaskText(recurrence.dayMask) +
                ";BYSETPOS=" + std::to_string(recurrence.week) + countPart(recurrence);
    }
    return part;
}

// "Monday", "Monday and Wednesday", "Monday, Wednesday and Friday".
std::string dayListWords(uint8_t mask) {
    std::vector<std::string> days;
    for (size_t day = 0; day < kDayNames.size(); ++day) {
        if ((mask & 1u << day) != 0)
            days.emplace_back(kDayNames[day]);
    }
    std::string words;
    for (size_t i = 0; i < days.size(); ++i) {
        if (i > 0)
            words += i + 1 == days.size() ? " and " : ", ";
        words += days[i];
    }
    return words;
}

std::string monthName(int month) {
    return month >= 1 && month <= 12 ? kMonthNames[static_cast<size_t>(month - 1)] : "";
}

// "every month", "every 3 months".
std::string everyPeriod(const std::optional<int>& interval, const char* one, const char* many) {
    if (!interval || *interval <= 1)
        return std::string("every ") + one;
    return "every " + std::to_string(*interval) + " " + many;
}

std::string nthWeekdayWords(const Recurrence& recurrence) {
    static constexpr std::array<const char*, 4> kOrdinals = {"first", "second", "third", "fourth"};
    const std::string which = recurrence.week >= 1 && recurrence.week <= 4
                                  ? kOrdinals[static_cast<size_t>(recurrence.week - 1)]
                                  : "last";
    return "on the " + which + " " + dayListWords(recurrence.dayMask);
}

std::string patternWords(const Recurrence& recurrence) {
    using By = Recurrence::By;
    switch (recurrence.frequency) {
        case Recurrence::Frequency::kDaily:
            if (recurrence.by == By::kWeekdays)
                return "every weekday";
            return everyPeriod(recurrence.interval, "day", "days");
        case Recurrence::Frequency::kWeekly: {
            const std::string days = dayListWords(recurrence.dayMask);
            if (!recurrence.interval || *recurrence.interval <= 1)
                return days.empty() ? "every week" : "every " + days;
            return everyPeriod(recurrence.interval, "week", "weeks") +
                   (days.empty() ? "" : " on " + days);
        }
        case Recurrence::Frequency::kMonthly: {
            const std::string every = everyPeriod(recurrence.interval, "month", "months");
            if (recurrence.by == By::kMonthDay)
                return "on day " + std::to_string(recurrence.monthDay) + " of " + every;
            if (recurrence.by == By::kNthWeekday)
                return nthWeekdayWords(recurrence) + " of " + every;
            return every;
        }
        case Recurrence::Frequency::kYearly: {
            const std::string month = monthName(recurrence.month);
            if (month.empty())
                return "every year";
            if (recurrence.by == By::kMonthDay)
                return "every " + std::to_string(recurrence.monthDay) + " " + month;
            if (recurrence.by == By::kNthWeekday)
                return nthWeekdayWords(recurrence) + " of " + month + " every year";
            return "every year in " + month;
        }
        case Recurrence::Frequency::kUnknown:
            break;
    }
    return "repeats";
}

}  // namespace

std::optional<Recurrence> ReadRecurrence(std::string_view bytes, const PropertyLookup& lookup) {
    if (bytes.size() < kMinimumPatternSize)
        return std::nullopt;
    const Pattern pattern(bytes);
    Recurrence recurrence;
    switch (pattern.byte(kFrequencyAt)) {
        case kDaily:
            recurrence.frequency = Recurrence::Frequency::kDaily;
            readDaily(pattern, lookup, recurrence);
            break;
        case kWeekly:
            recurrence.frequency = Recurrence::Frequency::kWeekly;
            recurrence.by = Recurrence::By::kDayMask;
            recurrence.interval = pattern.signedByte(kPeriodAt);
            recurrence.dayMask = pattern.byte(kSpecificAt);
            pattern.readEnd(kSpecificAt + 4, recurrence);
            break;
        case kMonthly:
            recurrence.frequency = Recurrence::Frequency::kMonthly;
            recurrence.interval = pattern.signedByte(kPeriodAt);
            readDayOfPeriod(pattern, recurrence);
            break;
        case kYearly:
            recurrence.frequency = Recurrence::Frequency::kYearly;
            recurrence.month = monthOfFirstDate(pattern.word(kFirstDateAt));
            readDayOfPeriod(pattern, recurrence);
            break;
    }
    return recurrence;
}

std::string RecurrenceRuleLine(const Recurrence& recurrence) {
    std::string line = "RRULE:FREQ=";
    switch (recurrence.frequency) {
        case Recurrence::Frequency::kDaily:
            line += dailyPart(recurrence);
            break;
        case Recurrence::Frequency::kWeekly:
            line += weeklyPart(recurrence);
            break;
        case Recurrence::Frequency::kMonthly:
            line += monthlyPart(recurrence);
            break;
        case Recurrence::Frequency::kYearly:
            line += yearlyPart(recurrence);
            break;
        case Recurrence::Frequency::kUnknown:
            break;
    }
    return line + "\n";
}

std::string RecurrenceRuleLine(std::string_view pattern, const PropertyLookup& lookup) {
    const std::optional<Recurrence> recurrence = ReadRecurrence(pattern, lookup);
    return recurrence ? RecurrenceRuleLine(*recurrence) : std::string();
}

void WriteRecurrenceRule(OutputFile& out, std::string_view pattern, const PropertyLookup& lookup) {
    out.write(RecurrenceRuleLine(pattern, lookup));
}

std::string RecurrenceWords(const Recurrence& recurrence) {
    std::string words = patternWords(recurrence);
    if (recurrence.end == Recurrence::End::kByDate && recurrence.endDate)
        return words + " until " + DateWords(*recurrence.endDate);
    if (recurrence.end != Recurrence::End::kNever)
        words +=
            ", " + std::to_string(recurrence.count) + (recurrence.count == 1 ? " time" : " times");
    return words;
}

std::string DateWords(const CalendarTime& date) {
    return std::to_string(date.day) + " " + monthName(date.month) + " " + std::to_string(date.year);
}

}  // namespace parcelo
