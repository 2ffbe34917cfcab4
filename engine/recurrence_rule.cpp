#include "recurrence_rule.h"

#include <array>
#include <cstdint>
#include <optional>

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

// Offsets into the pattern (MS-OXOCAL RecurrencePattern).
constexpr size_t kFrequencyAt = 4;
constexpr size_t kPatternTypeAt = 6;
constexpr size_t kFirstDateAt = 10;
constexpr size_t kPeriodAt = 14;
constexpr size_t kSpecificAt = 22;
constexpr size_t kNthWeekAt = 26;

class Pattern {
  public:
    explicit Pattern(std::string_view bytes) : bytes_(bytes) {}

    uint8_t byte(size_t at) const { return static_cast<uint8_t>(bytes_[at]); }
    int signedByte(size_t at) const { return static_cast<int8_t>(bytes_[at]); }
    uint16_t word(size_t at) const { return static_cast<uint16_t>(byte(at) | byte(at + 1) << 8); }

    // ";COUNT=n" when the end type at `endTypeAt` ends the series by a date or a count.
    // Both end by the stored count: the files written so far have never held UNTIL. A
    // pattern cut short before its count is taken as having no end.
    std::string countPart(size_t endTypeAt) const {
        const size_t countAt = endTypeAt + 4;
        if (countAt + 2 > bytes_.size())
            return {};
        const uint8_t endType = byte(endTypeAt);
        if (endType != kEndAfterDate && endType != kEndAfterCount)
            return {};
        return ";COUNT=" + std::to_string(word(countAt));
    }

  private:
    std::string_view bytes_;
};

std::string dayMaskText(uint8_t mask) {
    static constexpr std::array<const char*, 7> kDays = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};
    std::string text;
    for (size_t day = 0; day < kDays.size(); ++day) {
        if ((mask & 1u << day) == 0)
            continue;
        if (!text.empty())
            text += ',';
        text += kDays[day];
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

std::string dailyPart(const Pattern& pattern, const PropertyLookup& lookup) {
    std::string part = "DAILY";
    const uint8_t kind = pattern.byte(kSpecificAt);
    if (kind == kNoEnd || kind == kEndAfterCount || kind == kEndAfterDate) {
        if (const std::optional<ValueBytes> interval = lookup.namedValue(kLidDayInterval)) {
            part += ";INTERVAL=" + std::to_string(LittleEndian16(*interval));
        }
        part += pattern.countPart(kSpecificAt);
    } else if (kind == kEveryWeekday) {
        part += ";BYDAY=MO,TU,WE,TH,FR" + pattern.countPart(kSpecificAt + 4);
    }
    return part;
}

std::string weeklyPart(const Pattern& pattern) {
    return "WEEKLY;INTERVAL=" + std::to_string(pattern.signedByte(kPeriodAt)) +
           ";BYDAY=" + dayMaskText(pattern.byte(kSpecificAt)) + pattern.countPart(kSpecificAt + 4);
}

std::string monthlyPart(const Pattern& pattern) {
    std::string part = "MONTHLY";
    const std::string interval = std::to_string(pattern.signedByte(kPeriodAt));
    switch (pattern.byte(kPatternTypeAt)) {
        case kOnDayOfMonth:
            part += ";INTERVAL=" + interval +
                    ";BYMONTHDAY=" + std::to_string(pattern.signedByte(kSpecificAt)) +
                    pattern.countPart(kSpecificAt + 4);
            break;
        case kOnNthWeekday:
            part += ";BYDAY=" + dayMaskText(pattern.byte(kSpecificAt)) +
                    ";BYSETPOS=" + std::to_string(nthWeek(pattern)) + ";INTERVAL=" + interval +
                    pattern.countPart(kSpecificAt + 8);
            break;
    }
    return part;
}

std::string yearlyPart(const Pattern& pattern) {
    std::string part =
        "YEARLY;BYMONTH=" + std::to_string(monthOfFirstDate(pattern.word(kFirstDateAt)));
    switch (pattern.byte(kPatternTypeAt)) {
        case kOnDayOfMonth:
            part += ";BYMONTHDAY=" + std::to_string(pattern.signedByte(kSpecificAt)) +
                    pattern.countPart(kSpecificAt + 4);
            break;
        case kOnNthWeekday:
            part += ";BYDAY=" + dayMaskText(pattern.byte(kSpecificAt)) +
                    ";BYSETPOS=" + std::to_string(nthWeek(pattern)) +
                    pattern.countPart(kSpecificAt + 8);
            break;
    }
    return part;
}

}  // namespace

std::string RecurrenceRuleLine(std::string_view bytes, const PropertyLookup& lookup) {
    if (bytes.size() < kMinimumPatternSize)
        return {};
    const Pattern pattern(bytes);
    std::string line = "RRULE:FREQ=";
    switch (pattern.byte(kFrequencyAt)) {
        case kDaily:
            line += dailyPart(pattern, lookup);
            break;
        case kWeekly:
            line += weeklyPart(pattern);
            break;
        case kMonthly:
            line += monthlyPart(pattern);
            break;
        case kYearly:
            line += yearlyPart(pattern);
            break;
    }
    return line + "\n";
}

void WriteRecurrenceRule(OutputFile& out, std::string_view pattern, const PropertyLookup& lookup) {
    out.write(RecurrenceRuleLine(pattern, lookup));
}

}  // namespace parcelo
