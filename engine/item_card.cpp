#include "item_card.h"

#include <array>
#include <cstdio>
#include <ctime>

#include "recurrence_rule.h"

namespace parcelo {

namespace {

constexpr std::array<const char*, 7> kWeekdays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                  "Thursday", "Friday", "Saturday"};
constexpr time_t kSecondsPerDay = 86400;

// The one place where the engine's UTC times become local ones.
std::tm localTime(const CalendarTime& utc, time_t shift = 0) {
    std::tm fields{};
    fields.tm_year = utc.year - 1900;
    fields.tm_mon = utc.month - 1;
    fields.tm_mday = utc.day;
    fields.tm_hour = utc.hour;
    fields.tm_min = utc.minute;
    fields.tm_sec = utc.second;
    const time_t seconds = ::timegm(&fields) + shift;
    std::tm local{};
    ::localtime_r(&seconds, &local);
    return local;
}

std::string dayWords(const std::tm& local) {
    CalendarTime date;
    date.year = local.tm_year + 1900;
    date.month = local.tm_mon + 1;
    date.day = local.tm_mday;
    return std::string(kWeekdays[static_cast<size_t>(local.tm_wday % 7)]) + ", " + DateWords(date);
}

std::string clockWords(const std::tm& local) {
    char text[16];
    std::snprintf(text, sizeof text, "%02i:%02i", local.tm_hour, local.tm_min);
    return text;
}

bool sameDay(const std::tm& a, const std::tm& b) {
    return a.tm_year == b.tm_year && a.tm_yday == b.tm_yday;
}

}  // namespace

void ItemCard::addRow(std::string label, std::string value) {
    if (!value.empty())
        rows.push_back({std::move(label), std::move(value)});
}

std::string LocalTimeWords(const CalendarTime& utc) {
    const std::tm local = localTime(utc);
    return dayWords(local) + " " + clockWords(local);
}

std::string LocalDateWords(const CalendarTime& utc) {
    return dayWords(localTime(utc));
}

std::string WhenWords(const std::optional<CalendarTime>& start,
                      const std::optional<CalendarTime>& end, bool allDay) {
    if (!start)
        return end ? "until " + LocalTimeWords(*end) : std::string();
    const std::tm from = localTime(*start);
    if (allDay) {
        std::string words = dayWords(from);
        if (end) {
            // The end is the midnight after the last day: one second back is that day.
            const std::tm last = localTime(*end, -1);
            if (!sameDay(from, last))
                words += " – " + dayWords(last);
        }
        return words + " (all day)";
    }
    std::string words = dayWords(from) + " " + clockWords(from);
    if (!end)
        return words;
    const std::tm to = localTime(*end);
    if (sameDay(from, to))
        return words + "–" + clockWords(to);
    return words + " – " + dayWords(to) + " " + clockWords(to);
}

}  // namespace parcelo
