#include "calendar_event_writer.h"

#include <cstdio>

#include "compressed_rtf.h"
#include "file_time.h"
#include "output_file.h"
#include "property_lookup.h"
#include "property_text.h"
#include "recurrence_rule.h"

namespace parcelo {

namespace {

constexpr uint32_t kLidGlobalObjectId = PropertyTag(0x0003, kPtBinary);
constexpr uint32_t kLidCleanGlobalObjectId = PropertyTag(0x0023, kPtBinary);
constexpr uint32_t kLidAppointmentSequence = PropertyTag(0x8201, kPtLong);
constexpr uint32_t kPrSenderSearchKey = PropertyTag(0x0C1D, kPtBinary);
constexpr uint16_t kLidToAttendeesString = 0x823B;
constexpr uint16_t kLidCcAttendeesString = 0x823C;
constexpr uint16_t kLidAllAttendeesString = 0x8238;
constexpr uint16_t kPrConversationTopic = 0x0070;
constexpr uint32_t kPrRtfCompressed = PropertyTag(0x1009, kPtBinary);
constexpr uint16_t kLidWhere = 0x0002;
constexpr uint16_t kLidLocation = 0x8208;
constexpr uint32_t kLidAppointmentStartWhole = PropertyTag(0x820D, kPtSysTime);
constexpr uint32_t kLidCommonStart = PropertyTag(0x8516, kPtSysTime);
constexpr uint32_t kLidAppointmentEndWhole = PropertyTag(0x820E, kPtSysTime);
constexpr uint32_t kLidCommonEnd = PropertyTag(0x8517, kPtSysTime);
constexpr uint32_t kLidAppointmentSequenceTime = PropertyTag(0x8202, kPtSysTime);
constexpr uint32_t kLidPrivate = PropertyTag(0x8506, kPtBoolean);
constexpr uint32_t kLidAppointmentRecur = PropertyTag(0x8216, kPtBinary);

constexpr std::string_view kCancellationSuffix = ".MtgCncl";

bool isCancellation(const std::string& messageClass) {
    const size_t dot = messageClass.rfind('.');
    // A class without a dot has no suffix to compare: it is never a cancellation.
    return dot != std::string::npos &&
           messageClass.compare(dot, std::string::npos, kCancellationSuffix) == 0;
}

std::string hexDigits(const std::string& bytes) {
    std::string hex;
    hex.reserve(bytes.size() * 2);
    char pair[3];
    for (const char b : bytes) {
        std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned char>(b));
        hex += pair;
    }
    return hex;
}

// A value of the first property, or else of the second.
std::optional<ValueBytes> eitherValue(const PropertyLookup& lookup, uint32_t first,
                                      uint32_t second) {
    if (std::optional<ValueBytes> value = lookup.namedValue(first))
        return value;
    return lookup.namedValue(second);
}

// The time a named PT_SYSTIME property holds; nothing when it is absent or too short.
std::optional<CalendarTime> timeOf(const PropertyLookup& lookup, uint32_t tag) {
    const std::optional<ValueBytes> value = lookup.namedValue(tag);
    return value ? SysTimeValue(*value) : std::nullopt;
}

// The time of the first property that holds one, or else of the second.
std::optional<CalendarTime> eitherTime(const PropertyLookup& lookup, uint32_t first,
                                       uint32_t second) {
    if (std::optional<CalendarTime> time = timeOf(lookup, first))
        return time;
    return timeOf(lookup, second);
}

constexpr uint32_t kLidAppointmentSubType = PropertyTag(0x8215, kPtBoolean);

std::string mailtoLine(std::string_view head, std::string_view name) {
    return std::string(head) + "CN=\"" + QuotedParameter(name) + "\":MAILTO:" + OnSingleLine(name) +
           "\n";
}

void readAttendees(CalendarEvent& event, const std::string& list, bool required) {
    for (const std::string_view entry : ListEntries(list))
        event.attendees.push_back({std::string(entry), required});
}

void readAttendeeLists(CalendarEvent& event, const PropertyLookup& lookup) {
    if (const std::optional<TextValue> to = lookup.namedText(kLidToAttendeesString)) {
        if (to->size() > 1)
            readAttendees(event, to->text(), true);
        const std::optional<TextValue> cc = lookup.namedText(kLidCcAttendeesString);
        if (cc && cc->size() > 1)
            readAttendees(event, cc->text(), false);
        return;
    }
    const std::optional<TextValue> all = lookup.namedText(kLidAllAttendeesString);
    if (all && all->size() > 1)
        readAttendees(event, all->text(), true);
}

void writeTime(std::string& out, std::string_view name, const std::optional<CalendarTime>& time) {
    if (time)
        out.append(name).append(FormatUtcDateTime(*time)).append("\n");
}

ItemCard::Kind kindOf(const std::string& messageClass) {
    if (isCancellation(messageClass))
        return ItemCard::Kind::kMeetingCancellation;
    if (messageClass == "IPM.Appointment")
        return ItemCard::Kind::kAppointment;
    return ItemCard::Kind::kMeetingRequest;
}

}  // namespace

CalendarEvent ReadCalendarEvent(const MapiMessage& message) {
    const PropertyLookup lookup(message.properties, message.codePage);
    CalendarEvent event;
    event.kind = kindOf(message.messageClass);
    if (const std::optional<ValueBytes> uid =
            eitherValue(lookup, kLidGlobalObjectId, kLidCleanGlobalObjectId)) {
        event.uid = hexDigits(uid->load());
    }
    if (const std::optional<ValueBytes> sequence = lookup.namedValue(kLidAppointmentSequence))
        event.sequence = LittleEndian32(*sequence);
    if (const std::optional<ValueBytes> searchKey = lookup.value(kPrSenderSearchKey)) {
        // The key is "TYPE:address"; its text ends with the value even without a NUL.
        const std::string key = lookup.messageText(*searchKey).text();
        const size_t colon = key.find(':');
        event.organizer = colon == std::string::npos ? key : key.substr(colon + 1);
    }
    readAttendeeLists(event, lookup);
    event.topic = lookup.text(kPrConversationTopic);
    if (const std::optional<ValueBytes> compressed = lookup.value(kPrRtfCompressed))
        event.descriptionRtf = DecompressRtf(compressed->load());
    event.location = lookup.namedText(kLidWhere);
    if (!event.location)
        event.location = lookup.namedText(kLidLocation);
    event.start = eitherTime(lookup, kLidAppointmentStartWhole, kLidCommonStart);
    event.end = eitherTime(lookup, kLidAppointmentEndWhole, kLidCommonEnd);
    event.created = timeOf(lookup, kLidAppointmentSequenceTime);
    if (const std::optional<ValueBytes> isPrivate = lookup.namedValue(kLidPrivate))
        event.isPrivate = LittleEndian32(*isPrivate) == 1;
    if (const std::optional<ValueBytes> allDay = lookup.namedValue(kLidAppointmentSubType))
        event.allDay = LittleEndian32(*allDay) != 0;
    if (const std::optional<ValueBytes> recurrence = lookup.namedValue(kLidAppointmentRecur))
        event.recurrence = ReadRecurrence(recurrence->load(), lookup);
    return event;
}

std::string CalendarEventText(const CalendarEvent& event) {
    std::string out = "BEGIN:VCALENDAR\n";
    out +=
        event.kind == ItemCard::Kind::kMeetingCancellation ? "METHOD:CANCEL\n" : "METHOD:REQUEST\n";
    out += "PRODID:-//The Lantern//Parcelo//EN\n";
    out += "VERSION:2.0\n";
    out += "BEGIN:VEVENT\n";
    if (event.uid)
        out += "UID:" + *event.uid + "\n";
    if (event.sequence)
        out += "SEQUENCE:" + std::to_string(*event.sequence) + "\n";
    if (event.organizer)
        out += mailtoLine("ORGANIZER;", *event.organizer);
    for (const CalendarEvent::Attendee& attendee : event.attendees) {
        out += mailtoLine(attendee.required
                              ? "ATTENDEE;PARTSTAT=NEEDS-ACTION;ROLE=REQ-PARTICIPANT;RSVP=TRUE;"
                              : "ATTENDEE;PARTSTAT=NEEDS-ACTION;ROLE=OPT-PARTICIPANT;RSVP=TRUE;",
                          attendee.name);
    }
    if (event.topic)
        out += "SUMMARY:" + EscapedText(event.topic->allButLast()) + "\n";
    if (event.descriptionRtf)
        out += "DESCRIPTION:" + EscapedText(RtfAsText(*event.descriptionRtf)) + "\n";
    if (event.location)
        out += FillLine("LOCATION: %s\n", OnSingleLine(event.location->text()));
    writeTime(out, "DTSTART:", event.start);
    writeTime(out, "DTEND:", event.end);
    writeTime(out, "CREATED:", event.created);
    if (event.isPrivate)
        out += *event.isPrivate ? "CLASS:PRIVATE\n" : "CLASS:PUBLIC\n";
    if (event.recurrence)
        out += RecurrenceRuleLine(*event.recurrence);
    out += "END:VEVENT\n";
    out += "END:VCALENDAR\n";
    return out;
}

ItemCard CalendarEventCard(const CalendarEvent& event) {
    ItemCard card;
    card.kind = event.kind;
    if (event.topic)
        card.title = event.topic->text();
    card.addRow("When:", WhenWords(event.start, event.end, event.allDay));
    if (event.recurrence)
        card.addRow("Recurrence:", RecurrenceWords(*event.recurrence));
    if (event.location)
        card.addRow("Where:", OnSingleLine(event.location->text()));
    if (event.organizer)
        card.addRow("Organizer:", *event.organizer);
    std::string attendees;
    for (const CalendarEvent::Attendee& attendee : event.attendees) {
        if (attendee.name.empty())
            continue;
        if (!attendees.empty())
            attendees += '\n';
        attendees +=
            OnSingleLine(attendee.name) + (attendee.required ? " (required)" : " (optional)");
    }
    card.addRow("Attendees:", attendees);
    if (event.descriptionRtf) {
        // Shown as the RTF it is: the file's text is a rough cut of it.
        card.description = *event.descriptionRtf;
        card.descriptionFormat = BodyFormat::kRtf;
    }
    return card;
}

void WriteCalendarEvent(ExtractionRun& run, const MapiMessage& message) {
    const std::string path = AddExtractedFile(run, run.pathFor("calendar.vcs"), 0, 1).path;
    const CalendarEvent event = ReadCalendarEvent(message);
    if (run.onCard)
        run.onCard(CalendarEventCard(event));
    if (run.writeFiles == 0)
        return;
    RecordedOutputFile out(run, path);
    if (out.isOpen())
        out.write(CalendarEventText(event));
}

}  // namespace parcelo
