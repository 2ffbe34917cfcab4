// What a converted Outlook item shows in place of a message body: a title, labelled rows
// and a description, made from the same values as the item's file.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "extracted_file_list.h"
#include "file_time.h"

namespace parcelo {

struct ItemCard {
    enum class Kind {
        kAppointment,
        kMeetingRequest,
        kMeetingCancellation,
        kTask,
        kContact,
        kDistributionList,
    };
    struct Row {
        std::string label;  // "When:", "Where:", …
        std::string value;  // UTF-8; lines apart by "\n"
    };

    Kind kind = Kind::kAppointment;
    std::string title;
    std::vector<Row> rows;
    // The item's own text: UTF-8 plain text, or the RTF the file's text was taken from.
    std::string description;
    BodyFormat descriptionFormat = BodyFormat::kText;

    // Adds a row when the value holds text.
    void addRow(std::string label, std::string value);
};

// A UTC time in the local time zone, in words: "Tuesday, 3 March 2026 14:00".
std::string LocalTimeWords(const CalendarTime& utc);

// The local day of a UTC time, in words: "Tuesday, 3 March 2026".
std::string LocalDateWords(const CalendarTime& utc);

// The span of an appointment in the local time zone: "Tuesday, 3 March 2026 14:00–15:30",
// or across days "… 14:00 – Wednesday, 4 March 2026 09:00". An all-day span names its days
// only; its end, the midnight after its last day, is left out.
std::string WhenWords(const std::optional<CalendarTime>& start,
                      const std::optional<CalendarTime>& end, bool allDay);

}  // namespace parcelo
