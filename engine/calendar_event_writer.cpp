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

enum class Role { kRequired, kOptional };

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

std::string mailtoLine(std::string_view head, std::string_view name) {
    return std::string(head) + "CN=\"" + QuotedParameter(name) + "\":MAILTO:" + OnSingleLine(name) +
           "\n";
}

void writeAttendees(OutputFile& out, const std::string& list, Role role) {
    const std::string_view head =
        role == Role::kRequired ? "ATTENDEE;PARTSTAT=NEEDS-ACTION;ROLE=REQ-PARTICIPANT;RSVP=TRUE;"
                                : "ATTENDEE;PARTSTAT=NEEDS-ACTION;ROLE=OPT-PARTICIPANT;RSVP=TRUE;";
    for (const std::string_view entry : ListEntries(list))
        out.write(mailtoLine(head, entry));
}

void writeAttendeeLines(OutputFile& out, const PropertyLookup& lookup) {
    if (const std::optional<TextValue> to = lookup.namedText(kLidToAttendeesString)) {
        if (to->size() > 1)
            writeAttendees(out, to->text(), Role::kRequired);
        const std::optional<TextValue> cc = lookup.namedText(kLidCcAttendeesString);
        if (cc && cc->size() > 1)
            writeAttendees(out, cc->text(), Role::kOptional);
        return;
    }
    const std::optional<TextValue> all = lookup.namedText(kLidAllAttendeesString);
    if (all && all->size() > 1)
        writeAttendees(out, all->text(), Role::kRequired);
}

void writeTime(OutputFile& out, std::string_view name, const std::optional<CalendarTime>& time) {
    if (!time)
        return;
    out.write(name).write(FormatUtcDateTime(*time)).write('\n');
}

}  // namespace

void WriteCalendarEvent(ExtractionRun& run, const TnefMessage& message) {
    const std::string path = AddExtractedFile(run, run.pathFor("calendar.vcs"), 0, 1).path;
    if (run.writeFiles == 0)
        return;
    RecordedOutputFile out(run, path);
    if (!out.isOpen())
        return;

    const PropertyLookup lookup(message.properties(), message.codePage());
    out.write("BEGIN:VCALENDAR\n");
    out.write(isCancellation(message.messageClass()) ? "METHOD:CANCEL\n" : "METHOD:REQUEST\n");
    out.write("PRODID:-//The Lantern//Parcelo//EN\n");
    out.write("VERSION:2.0\n");
    out.write("BEGIN:VEVENT\n");

    if (const std::optional<ValueBytes> uid =
            eitherValue(lookup, kLidGlobalObjectId, kLidCleanGlobalObjectId)) {
        out.write("UID:").write(hexDigits(uid->load())).write('\n');
    }
    if (const std::optional<ValueBytes> sequence = lookup.namedValue(kLidAppointmentSequence)) {
        out.write("SEQUENCE:" + std::to_string(LittleEndian32(*sequence)) + "\n");
    }
    if (const std::optional<ValueBytes> searchKey = lookup.value(kPrSenderSearchKey)) {
        // The key is "TYPE:address"; its text ends with the value even without a NUL.
        const std::string key = lookup.messageText(*searchKey).text();
        const size_t colon = key.find(':');
        const std::string_view name = colon == std::string::npos
                                          ? std::string_view(key)
                                          : std::string_view(key).substr(colon + 1);
        out.write(mailtoLine("ORGANIZER;", name));
    }
    writeAttendeeLines(out, lookup);

    if (const std::optional<TextValue> topic = lookup.text(kPrConversationTopic)) {
        out.write("SUMMARY:");
        WriteEscapedText(out, *topic);
        out.write('\n');
    }
    if (const std::optional<ValueBytes> compressed = lookup.value(kPrRtfCompressed)) {
        if (const std::optional<std::string> rtf = DecompressRtf(compressed->load())) {
            out.write("DESCRIPTION:");
            WriteRtfAsText(out, *rtf);
        }
    }
    std::optional<TextValue> location = lookup.namedText(kLidWhere);
    if (!location)
        location = lookup.namedText(kLidLocation);
    if (location)
        out.write(FillLine("LOCATION: %s\n", OnSingleLine(location->text())));

    writeTime(out, "DTSTART:", eitherTime(lookup, kLidAppointmentStartWhole, kLidCommonStart));
    writeTime(out, "DTEND:", eitherTime(lookup, kLidAppointmentEndWhole, kLidCommonEnd));
    writeTime(out, "CREATED:", timeOf(lookup, kLidAppointmentSequenceTime));
    if (const std::optional<ValueBytes> isPrivate = lookup.namedValue(kLidPrivate)) {
        out.write(LittleEndian32(*isPrivate) == 1 ? "CLASS:PRIVATE\n" : "CLASS:PUBLIC\n");
    }
    if (const std::optional<ValueBytes> recurrence = lookup.namedValue(kLidAppointmentRecur)) {
        WriteRecurrenceRule(out, recurrence->load(), lookup);
    }
    out.write("END:VEVENT\n");
    out.write("END:VCALENDAR\n");
}

}  // namespace parcelo
