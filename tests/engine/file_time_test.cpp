#include "file_time.h"

#include <gtest/gtest.h>

#include "tnef_builder.h"

namespace parcelo::testing {
namespace {

struct DateCase {
    int year, month, day, hour, minute, second;
    const char* expected;
};

class FileTimeTest : public ::testing::TestWithParam<DateCase> {};

TEST_P(FileTimeTest, ConvertsToUtcCalendarFields) {
    const DateCase& c = GetParam();
    const uint64_t ft = fileTime(c.year, c.month, c.day, c.hour, c.minute, c.second);
    EXPECT_EQ(FormatUtcDateTime(FileTimeToCalendar(ft)), c.expected);
}

// First days of months and the century years that are not leap years.
INSTANTIATE_TEST_SUITE_P(Dates, FileTimeTest,
                         ::testing::Values(DateCase{1601, 1, 1, 0, 0, 0, "16010101T000000Z"},
                                           DateCase{2005, 3, 1, 14, 5, 9, "20050301T140509Z"},
                                           DateCase{2024, 3, 1, 0, 0, 0, "20240301T000000Z"},
                                           DateCase{2024, 2, 29, 23, 59, 59, "20240229T235959Z"},
                                           DateCase{1700, 3, 1, 0, 0, 0, "17000301T000000Z"},
                                           DateCase{1900, 3, 1, 12, 0, 0, "19000301T120000Z"},
                                           DateCase{2000, 2, 29, 0, 0, 0, "20000229T000000Z"},
                                           DateCase{2100, 3, 1, 0, 0, 0, "21000301T000000Z"},
                                           DateCase{2015, 1, 9, 5, 0, 0, "20150109T050000Z"},
                                           DateCase{2499, 12, 31, 23, 59, 59, "24991231T235959Z"}));

TEST(SysTimeValue, NeedsEightBytes) {
    const std::string bytes = le64(fileTime(1970, 5, 3));
    EXPECT_EQ(SysTimeValue(ValueBytes::InMemory(bytes.data(), 8))->day, 3);
    EXPECT_FALSE(SysTimeValue(ValueBytes::InMemory(bytes.data(), 7)));
    // The largest count there is still gives a date.
    const std::string max = le64(~uint64_t{0});
    EXPECT_EQ(SysTimeValue(ValueBytes::InMemory(max.data(), 8))->year, 60056);
}

}  // namespace
}  // namespace parcelo::testing
