#include "recurrence_rule.h"

#include <gtest/gtest.h>

#include <optional>

#include "tnef_builder.h"
#include "writer_test_support.h"

namespace parcelo::testing {
namespace {

constexpr uint16_t kDaily = 0x200A, kWeekly = 0x200B, kMonthly = 0x200C, kYearly = 0x200D;
constexpr uint32_t kEndByDate = 0x2021, kEndByCount = 0x2022, kNoEnd = 0x2023;
constexpr uint32_t kMarch = 84960;  // minutes from 1601-01-01 to 1601-03-01
constexpr uint32_t kDecember = 480960;

// A RecurrencePattern (MS-OXOCAL) up to its occurrence count, followed by the fields
// Outlook puts after it; `size` cuts it short.
std::string Pattern(uint16_t frequency, uint16_t patternType, uint32_t firstDate, uint32_t period,
                    const std::string& specific, uint32_t endType, uint32_t count,
                    std::optional<size_t> size = std::nullopt) {
    std::string p = le16(0x3004) + le16(0x3004) + le16(frequency) + le16(patternType) + le16(0) +
                    le32(firstDate) + le32(period) + le32(0) + specific + le32(endType) +
                    le32(count) + le32(0) + le32(0) + le32(0) + le32(0x0CDDC120) + le32(0x0CE0D600);
    if (size)
        p.resize(*size);
    return p;
}

std::string Days(uint32_t mask) {
    return le32(mask);
}
std::string NthDays(uint32_t mask, uint32_t week) {
    return le32(mask) + le32(week);
}

struct RuleCase {
    const char* name;
    std::string pattern;
    std::optional<int16_t> dayInterval;  // PidLidDayInterval of the message
    std::string line;
};

class RecurrenceRule : public ::testing::TestWithParam<RuleCase> {};

TEST_P(RecurrenceRule, Line) {
    const RuleCase& c = GetParam();
    PropertyList props;
    if (c.dayInterval)
        props.namedI2(0x0011, *c.dayInterval);
    const ParsedMessage parsed(TnefBuilder().messageProps(props).bytes());
    EXPECT_EQ(
        Written([&](OutputFile& out) { WriteRecurrenceRule(out, c.pattern, parsed.lookup()); }),
        c.line);
}

INSTANTIATE_TEST_SUITE_P(
    Daily, RecurrenceRule,
    ::testing::Values(
        RuleCase{"EveryThreeDaysFiveTimes", Pattern(kDaily, 0, 0, 4320, "", kEndByCount, 5), 3,
                 "RRULE:FREQ=DAILY;INTERVAL=3;COUNT=5\n"},
        RuleCase{"NoEnd", Pattern(kDaily, 0, 0, 1440, "", kNoEnd, 10), 1,
                 "RRULE:FREQ=DAILY;INTERVAL=1\n"},
        RuleCase{"EndByDateCountsOccurrences", Pattern(kDaily, 0, 0, 1440, "", kEndByDate, 12), 1,
                 "RRULE:FREQ=DAILY;INTERVAL=1;COUNT=12\n"},
        RuleCase{"CountIsItsLow16Bits", Pattern(kDaily, 0, 0, 1440, "", kEndByCount, 70000), 1,
                 "RRULE:FREQ=DAILY;INTERVAL=1;COUNT=4464\n"},
        RuleCase{"LargeCount", Pattern(kDaily, 0, 0, 1440, "", kEndByCount, 300), 200,
                 "RRULE:FREQ=DAILY;INTERVAL=200;COUNT=300\n"},
        RuleCase{"NegativeInterval", Pattern(kDaily, 0, 0, 1440, "", kNoEnd, 0), -2,
                 "RRULE:FREQ=DAILY;INTERVAL=-2\n"},
        RuleCase{"WithoutDayInterval", Pattern(kDaily, 0, 0, 1440, "", kEndByCount, 5),
                 std::nullopt, "RRULE:FREQ=DAILY;COUNT=5\n"},
        RuleCase{"EveryWeekday", Pattern(kDaily, 1, 0, 1, Days(0x3E), kNoEnd, 0), 1,
                 "RRULE:FREQ=DAILY;BYDAY=MO,TU,WE,TH,FR\n"},
        RuleCase{"EveryWeekdayTenTimes", Pattern(kDaily, 1, 0, 1, Days(0x3E), kEndByCount, 10), 1,
                 "RRULE:FREQ=DAILY;BYDAY=MO,TU,WE,TH,FR;COUNT=10\n"},
        RuleCase{"UnknownEndType", Pattern(kDaily, 0, 0, 1440, "", 0x2024, 5), 1,
                 "RRULE:FREQ=DAILY\n"}),
    CaseName());

INSTANTIATE_TEST_SUITE_P(
    Weekly, RecurrenceRule,
    ::testing::Values(RuleCase{"MondayAndWednesdayTenTimes",
                               Pattern(kWeekly, 1, 0, 2, Days(0x0A), kEndByCount, 10), std::nullopt,
                               "RRULE:FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,WE;COUNT=10\n"},
                      RuleCase{"NoEnd", Pattern(kWeekly, 1, 0, 1, Days(0x02), kNoEnd, 0),
                               std::nullopt, "RRULE:FREQ=WEEKLY;INTERVAL=1;BYDAY=MO\n"},
                      RuleCase{"EmptyDayMask", Pattern(kWeekly, 1, 0, 1, Days(0), kEndByDate, 3),
                               std::nullopt, "RRULE:FREQ=WEEKLY;INTERVAL=1;BYDAY=;COUNT=3\n"},
                      RuleCase{"AllSevenDays", Pattern(kWeekly, 1, 0, 1, Days(0xFF), kNoEnd, 0),
                               std::nullopt,
                               "RRULE:FREQ=WEEKLY;INTERVAL=1;BYDAY=SU,MO,TU,WE,TH,FR,SA\n"},
                      RuleCase{"IntervalIsASignedByte",
                               Pattern(kWeekly, 1, 0, 0x1FF, Days(0x40), kNoEnd, 0), std::nullopt,
                               "RRULE:FREQ=WEEKLY;INTERVAL=-1;BYDAY=SA\n"}),
    CaseName());

INSTANTIATE_TEST_SUITE_P(
    Monthly, RecurrenceRule,
    ::testing::Values(
        RuleCase{"OnDay31", Pattern(kMonthly, 2, 0, 1, le32(31), kNoEnd, 0), std::nullopt,
                 "RRULE:FREQ=MONTHLY;INTERVAL=1;BYMONTHDAY=31\n"},
        RuleCase{"OnDay15SixTimes", Pattern(kMonthly, 2, 0, 2, le32(15), kEndByCount, 6),
                 std::nullopt, "RRULE:FREQ=MONTHLY;INTERVAL=2;BYMONTHDAY=15;COUNT=6\n"},
        RuleCase{"LastFriday", Pattern(kMonthly, 3, 0, 1, NthDays(0x20, 5), kNoEnd, 0),
                 std::nullopt, "RRULE:FREQ=MONTHLY;BYDAY=FR;BYSETPOS=-1;INTERVAL=1\n"},
        RuleCase{"SecondTuesdayFourTimes",
                 Pattern(kMonthly, 3, 0, 3, NthDays(0x04, 2), kEndByCount, 4), std::nullopt,
                 "RRULE:FREQ=MONTHLY;BYDAY=TU;BYSETPOS=2;INTERVAL=3;COUNT=4\n"},
        RuleCase{"PatternTypeFour", Pattern(kMonthly, 4, 0, 1, le32(31), kEndByCount, 4),
                 std::nullopt, "RRULE:FREQ=MONTHLY\n"}),
    CaseName());

INSTANTIATE_TEST_SUITE_P(
    Yearly, RecurrenceRule,
    ::testing::Values(
        RuleCase{"Every14March", Pattern(kYearly, 2, kMarch, 12, le32(14), kNoEnd, 0), std::nullopt,
                 "RRULE:FREQ=YEARLY;BYMONTH=3;BYMONTHDAY=14\n"},
        RuleCase{"ChristmasFiveTimes", Pattern(kYearly, 2, kDecember, 12, le32(25), kEndByCount, 5),
                 std::nullopt, "RRULE:FREQ=YEARLY;BYMONTH=12;BYMONTHDAY=25;COUNT=5\n"},
        RuleCase{"LastMondayOfMarch",
                 Pattern(kYearly, 3, kMarch, 12, NthDays(0x02, 5), kEndByDate, 3), std::nullopt,
                 "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=MO;BYSETPOS=-1;COUNT=3\n"},
        RuleCase{"UnknownFirstDate", Pattern(kYearly, 2, 12345, 12, le32(1), kNoEnd, 0),
                 std::nullopt, "RRULE:FREQ=YEARLY;BYMONTH=0;BYMONTHDAY=1\n"},
        RuleCase{"OtherPatternType", Pattern(kYearly, 4, 0, 12, le32(31), kEndByCount, 2),
                 std::nullopt, "RRULE:FREQ=YEARLY;BYMONTH=1\n"}),
    CaseName());

INSTANTIATE_TEST_SUITE_P(
    Sizes, RecurrenceRule,
    ::testing::Values(
        RuleCase{"UnknownFrequency", Pattern(0x200E, 0, 0, 1, "", kNoEnd, 0), std::nullopt,
                 "RRULE:FREQ=\n"},
        RuleCase{"ThirtyBytesGiveNoLine", Pattern(kDaily, 0, 0, 1440, "", kEndByCount, 5, 30), 1,
                 ""},
        RuleCase{"ThirtyOneBytesAreRead", Pattern(kDaily, 0, 0, 1440, "", kEndByCount, 5, 31), 1,
                 "RRULE:FREQ=DAILY;INTERVAL=1;COUNT=5\n"},
        RuleCase{"WeeklyCountCutOff", Pattern(kWeekly, 1, 0, 1, Days(0x02), kEndByCount, 5, 31),
                 std::nullopt, "RRULE:FREQ=WEEKLY;INTERVAL=1;BYDAY=MO\n"},
        RuleCase{"WeeklyCountJustThere", Pattern(kWeekly, 1, 0, 1, Days(0x02), kEndByCount, 5, 32),
                 std::nullopt, "RRULE:FREQ=WEEKLY;INTERVAL=1;BYDAY=MO;COUNT=5\n"},
        RuleCase{"NthWeekdayCountCutOff",
                 Pattern(kMonthly, 3, 0, 1, NthDays(0x20, 5), kEndByCount, 5, 35), std::nullopt,
                 "RRULE:FREQ=MONTHLY;BYDAY=FR;BYSETPOS=-1;INTERVAL=1\n"},
        RuleCase{"NthWeekdayCountJustThere",
                 Pattern(kYearly, 3, kMarch, 12, NthDays(0x20, 1), kEndByCount, 5, 36),
                 std::nullopt, "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=FR;BYSETPOS=1;COUNT=5\n"}),
    CaseName());

// The words of the card come from the same reading as the line; the end date comes after
// the pattern's lists of exceptions.
struct WordsCase {
    const char* name;
    std::string pattern;
    std::optional<int16_t> dayInterval;
    std::string words;
};

class RecurrenceInWords : public ::testing::TestWithParam<WordsCase> {};

TEST_P(RecurrenceInWords, Words) {
    const WordsCase& c = GetParam();
    PropertyList props;
    if (c.dayInterval)
        props.namedI2(0x0011, *c.dayInterval);
    const ParsedMessage parsed(TnefBuilder().messageProps(props).bytes());
    const std::optional<Recurrence> recurrence = ReadRecurrence(c.pattern, parsed.lookup());
    ASSERT_TRUE(recurrence);
    EXPECT_EQ(RecurrenceWords(*recurrence), c.words);
}

// The end date of the patterns above: 21 October 2011.
INSTANTIATE_TEST_SUITE_P(
    Patterns, RecurrenceInWords,
    ::testing::Values(
        WordsCase{"EveryThreeDaysFiveTimes", Pattern(kDaily, 0, 0, 4320, "", kEndByCount, 5), 3,
                  "every 3 days, 5 times"},
        WordsCase{"DailyWithoutEnd", Pattern(kDaily, 0, 0, 1440, "", kNoEnd, 10), 1, "every day"},
        WordsCase{"DailyUntilADate", Pattern(kDaily, 0, 0, 1440, "", kEndByDate, 12), 1,
                  "every day until 21 October 2011"},
        WordsCase{"EndDateCutOffGivesTheCount", Pattern(kDaily, 0, 0, 1440, "", kEndByDate, 12, 46),
                  1, "every day, 12 times"},
        WordsCase{"EveryWeekday", Pattern(kDaily, 1, 0, 1, Days(0x3E), kNoEnd, 0), 1,
                  "every weekday"},
        WordsCase{"EveryTuesdayUntilADate", Pattern(kWeekly, 1, 0, 1, Days(0x04), kEndByDate, 3),
                  std::nullopt, "every Tuesday until 21 October 2011"},
        WordsCase{"ThreeDaysEveryWeek", Pattern(kWeekly, 1, 0, 1, Days(0x2A), kNoEnd, 0),
                  std::nullopt, "every Monday, Wednesday and Friday"},
        WordsCase{"TwoDaysEveryTwoWeeksTenTimes",
                  Pattern(kWeekly, 1, 0, 2, Days(0x0A), kEndByCount, 10), std::nullopt,
                  "every 2 weeks on Monday and Wednesday, 10 times"},
        WordsCase{"OnDay15EveryTwoMonths", Pattern(kMonthly, 2, 0, 2, le32(15), kEndByCount, 6),
                  std::nullopt, "on day 15 of every 2 months, 6 times"},
        WordsCase{"LastFridayOfEveryMonth", Pattern(kMonthly, 3, 0, 1, NthDays(0x20, 5), kNoEnd, 0),
                  std::nullopt, "on the last Friday of every month"},
        WordsCase{"SecondTuesdayEveryThreeMonths",
                  Pattern(kMonthly, 3, 0, 3, NthDays(0x04, 2), kEndByCount, 1), std::nullopt,
                  "on the second Tuesday of every 3 months, 1 time"},
        WordsCase{"Every14March", Pattern(kYearly, 2, kMarch, 12, le32(14), kNoEnd, 0),
                  std::nullopt, "every 14 March"},
        WordsCase{"LastMondayOfMarchUntilADate",
                  Pattern(kYearly, 3, kMarch, 12, NthDays(0x02, 5), kEndByDate, 3), std::nullopt,
                  "on the last Monday of March every year until 21 October 2011"}),
    CaseName());

TEST(RecurrenceInWords, EndDateFollowsTheExceptions) {
    // Two deleted occurrences and one modified one lie between the count and the end date.
    const std::string pattern = Pattern(kWeekly, 1, 0, 1, Days(0x04), kEndByDate, 3, 34) + le32(0) +
                                le32(2) + le32(1) + le32(2) + le32(1) + le32(3) + le32(0x0CDDC120) +
                                le32(0x0CE0D600);
    const ParsedMessage parsed(TnefBuilder().bytes());
    const std::optional<Recurrence> recurrence = ReadRecurrence(pattern, parsed.lookup());
    ASSERT_TRUE(recurrence);
    EXPECT_EQ(RecurrenceWords(*recurrence), "every Tuesday until 21 October 2011");
}

TEST(RecurrenceRuleMonths, EveryMonthStartIsRecognised) {
    const uint32_t starts[] = {0,      44640,  84960,  129600, 172800, 217440,
                               260640, 305280, 349920, 393120, 437760, 480960};
    const ParsedMessage parsed(TnefBuilder().bytes());
    for (int month = 1; month <= 12; ++month) {
        EXPECT_EQ(RecurrenceRuleLine(Pattern(kYearly, 2, starts[month - 1], 12, le32(1), kNoEnd, 0),
                                     parsed.lookup()),
                  "RRULE:FREQ=YEARLY;BYMONTH=" + std::to_string(month) + ";BYMONTHDAY=1\n");
    }
}

}  // namespace
}  // namespace parcelo::testing
