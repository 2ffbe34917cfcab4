// Appointments, meeting requests and cancellations as "calendar.vcs" with one VEVENT.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "extraction_run.h"
#include "file_time.h"
#include "item_card.h"
#include "property_lookup.h"
#include "recurrence_rule.h"

namespace parcelo {

// The values of an event, read once, from which both its file and its card are made.
struct CalendarEvent {
    struct Attendee {
        std::string name;  // UTF-8
        bool required = true;
    };

    ItemCard::Kind kind = ItemCard::Kind::kAppointment;
    std::optional<std::string> uid;  // hex digits of the global object ID
    std::optional<int32_t> sequence;
    std::optional<std::string> organizer;
    std::vector<Attendee> attendees;
    std::optional<TextValue> topic;
    std::optional<std::string> descriptionRtf;  // the file's text comes from its first level
    std::optional<TextValue> location;
    std::optional<CalendarTime> start;
    std::optional<CalendarTime> end;
    std::optional<CalendarTime> created;
    std::optional<bool> isPrivate;
    bool allDay = false;
    std::optional<Recurrence> recurrence;
};

// The event's values as the message holds them.
CalendarEvent ReadCalendarEvent(const MapiMessage& message);

// The file's content.
std::string CalendarEventText(const CalendarEvent& event);

// The card of the event.
ItemCard CalendarEventCard(const CalendarEvent& event);

// Writes the event as "calendar.vcs" in the run's output directory and records it; its card
// goes to the run's onCard.
void WriteCalendarEvent(ExtractionRun& run, const MapiMessage& message);

}  // namespace parcelo
