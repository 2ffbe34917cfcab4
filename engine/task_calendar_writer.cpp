#include "task_calendar_writer.h"

#include "file_time.h"
#include "output_file.h"
#include "property_lookup.h"
#include "property_text.h"
#include "safe_file_name.h"

namespace parcelo {

namespace {

constexpr uint16_t kPrConversationTopic = 0x0070;
constexpr uint16_t kPrDisplayTo = 0x0E04;
constexpr uint32_t kPrCreationTime = PropertyTag(0x3007, kPtSysTime);
constexpr uint32_t kPrLastModificationTime = PropertyTag(0x3008, kPtSysTime);
constexpr uint16_t kLidTaskLastUser = 0x8122;
constexpr uint16_t kLidTaskOwner = 0x811F;
constexpr uint32_t kLidCommonEnd = PropertyTag(0x8517, kPtSysTime);
constexpr uint32_t kLidPrivate = PropertyTag(0x8506, kPtBoolean);

void writeAttendees(OutputFile& out, std::string_view owners) {
    for (const std::string_view entry : ListEntries(owners)) {
        const std::string name = OnSingleLine(entry);
        out.write("ATTENDEE;CN=" + name + ";ROLE=REQ-PARTICIPANT:" + name + "\n");
    }
}

void writeTime(OutputFile& out, std::string_view name, const std::optional<ValueBytes>& value) {
    if (!value)
        return;
    const std::optional<CalendarTime> time = SysTimeValue(*value);
    if (!time)
        return;
    out.write(name).write(FormatUtcDateTime(*time)).write('\n');
}

}  // namespace

void WriteTaskCalendar(ExtractionRun& run, const TnefMessage& message) {
    const PropertyLookup lookup(message.properties(), message.codePage());
    const std::optional<TextValue> topic = lookup.text(kPrConversationTopic);
    if (!topic)
        return;
    std::string name = topic->text();
    name.erase(name.find_last_not_of(' ') + 1);
    const std::string path =
        AddExtractedFile(run, run.pathFor(SafeFileName(name + ".vcs")), 0, 1).path;
    if (run.writeFiles == 0)
        return;
    RecordedOutputFile out(run, path);
    if (!out.isOpen())
        return;

    out.write("BEGIN:VCALENDAR\n");
    out.write("PRODID:-//The Lantern//Parcelo//EN\n");
    out.write("VERSION:2.0\n");
    out.write("METHOD:PUBLISH\n");
    out.write("BEGIN:VTODO\n");
    // The message ID is an ASCII identifier: it goes in as the stream holds it.
    const std::string messageId = message.messageId();
    if (!messageId.empty())
        out.write(FillLine("UID:%s\n", OnSingleLine(messageId)));
    if (const std::optional<TextValue> lastUser = lookup.namedText(kLidTaskLastUser)) {
        out.write(FillLine("ORGANIZER:%s\n", OnSingleLine(lastUser->text())));
    }
    if (lookup.text(kPrDisplayTo)) {
        const std::optional<TextValue> owners = lookup.namedText(kLidTaskOwner);
        if (owners && owners->size() > 1)
            writeAttendees(out, owners->text());
    }
    if (message.subject() && message.subject()->size() > 0) {
        out.write("SUMMARY:");
        WriteEscapedText(out, lookup.messageText(*message.subject()));
        out.write('\n');
    }
    if (message.body().size() > 0) {
        out.write("DESCRIPTION:");
        WriteEscapedText(out, lookup.messageText(message.body()));
        out.write('\n');
    }
    writeTime(out, "DTSTAMP:", lookup.value(kPrCreationTime));
    writeTime(out, "DUE:", lookup.namedValue(kLidCommonEnd));
    writeTime(out, "LAST-MODIFIED:", lookup.value(kPrLastModificationTime));
    if (const std::optional<ValueBytes> isPrivate = lookup.namedValue(kLidPrivate)) {
        out.write(LittleEndian32(*isPrivate) == 1 ? "CLASS:PRIVATE\n" : "CLASS:PUBLIC\n");
    }
    out.write("END:VTODO\n");
    out.write("END:VCALENDAR\n");
}

}  // namespace parcelo
