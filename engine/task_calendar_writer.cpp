#include "task_calendar_writer.h"

#include <array>
#include <cmath>
#include <cstring>

#include "output_file.h"
#include "property_text.h"
#include "recurrence_rule.h"
#include "safe_file_name.h"

namespace parcelo {

namespace {

constexpr uint16_t kPtDouble = 0x0005;
constexpr uint16_t kPrConversationTopic = 0x0070;
constexpr uint16_t kPrDisplayTo = 0x0E04;
constexpr uint32_t kPrCreationTime = PropertyTag(0x3007, kPtSysTime);
constexpr uint32_t kPrLastModificationTime = PropertyTag(0x3008, kPtSysTime);
constexpr uint16_t kLidTaskLastUser = 0x8122;
constexpr uint16_t kLidTaskOwner = 0x811F;
constexpr uint32_t kLidTaskStatus = PropertyTag(0x8101, kPtLong);
constexpr uint32_t kLidPercentComplete = PropertyTag(0x8102, kPtDouble);
constexpr uint32_t kLidTaskStartDate = PropertyTag(0x8104, kPtSysTime);
constexpr uint32_t kLidCommonStart = PropertyTag(0x8516, kPtSysTime);
constexpr uint32_t kLidCommonEnd = PropertyTag(0x8517, kPtSysTime);
constexpr uint32_t kLidPrivate = PropertyTag(0x8506, kPtBoolean);

// PidLidTaskStatus values (MS-OXOTASK), as Outlook names them.
constexpr std::array<const char*, 5> kStatusWords = {"Not started", "In progress", "Completed",
                                                     "Waiting on someone else", "Deferred"};

std::optional<CalendarTime> timeOf(const std::optional<ValueBytes>& value) {
    return value ? SysTimeValue(*value) : std::nullopt;
}

void writeTime(std::string& out, std::string_view name, const std::optional<CalendarTime>& time) {
    if (time)
        out.append(name).append(FormatUtcDateTime(*time)).append("\n");
}

std::optional<double> doubleOf(const std::optional<ValueBytes>& value) {
    if (!value || value->size() < 8)
        return std::nullopt;
    const std::string bytes = value->prefix(8);
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = bits << 8 | static_cast<unsigned char>(bytes[static_cast<size_t>(i)]);
    double number = 0;
    std::memcpy(&number, &bits, sizeof number);
    return std::isfinite(number) ? std::optional<double>(number) : std::nullopt;
}

}  // namespace

TaskItem ReadTaskItem(const MapiMessage& message) {
    const PropertyLookup lookup(message.properties, message.codePage);
    TaskItem task;
    task.topic = lookup.text(kPrConversationTopic);
    task.messageId = message.messageId;
    task.lastUser = lookup.namedText(kLidTaskLastUser);
    task.sentOn = lookup.text(kPrDisplayTo).has_value();
    task.owners = lookup.namedText(kLidTaskOwner);
    if (message.subject && message.subject->size() > 0)
        task.subject = lookup.messageText(*message.subject);
    if (message.body.size() > 0)
        task.body = lookup.messageText(message.body);
    task.created = timeOf(lookup.value(kPrCreationTime));
    // The common start is UTC, as the due time is; the task's own start date is its local
    // midnight written as if it were UTC.
    task.start = timeOf(lookup.namedValue(kLidCommonStart));
    if (!task.start)
        task.start = timeOf(lookup.namedValue(kLidTaskStartDate));
    task.due = timeOf(lookup.namedValue(kLidCommonEnd));
    task.lastModified = timeOf(lookup.value(kPrLastModificationTime));
    if (const std::optional<ValueBytes> isPrivate = lookup.namedValue(kLidPrivate))
        task.isPrivate = LittleEndian32(*isPrivate) == 1;
    if (const std::optional<ValueBytes> status = lookup.namedValue(kLidTaskStatus))
        task.status = LittleEndian32(*status);
    task.percentComplete = doubleOf(lookup.namedValue(kLidPercentComplete));
    return task;
}

std::string TaskCalendarText(const TaskItem& task) {
    std::string out = "BEGIN:VCALENDAR\n";
    out += "PRODID:-//The Lantern//Parcelo//EN\n";
    out += "VERSION:2.0\n";
    out += "METHOD:PUBLISH\n";
    out += "BEGIN:VTODO\n";
    // The message ID is an ASCII identifier: it goes in as the stream holds it.
    if (!task.messageId.empty())
        out += FillLine("UID:%s\n", OnSingleLine(task.messageId));
    if (task.lastUser)
        out += FillLine("ORGANIZER:%s\n", OnSingleLine(task.lastUser->text()));
    if (task.sentOn && task.owners && task.owners->size() > 1) {
        const std::string owners = task.owners->text();
        for (const std::string_view entry : ListEntries(owners)) {
            const std::string name = OnSingleLine(entry);
            out += "ATTENDEE;CN=" + name + ";ROLE=REQ-PARTICIPANT:" + name + "\n";
        }
    }
    if (task.subject)
        out += "SUMMARY:" + EscapedText(task.subject->allButLast()) + "\n";
    if (task.body)
        out += "DESCRIPTION:" + EscapedText(task.body->allButLast()) + "\n";
    writeTime(out, "DTSTAMP:", task.created);
    writeTime(out, "DUE:", task.due);
    writeTime(out, "LAST-MODIFIED:", task.lastModified);
    if (task.isPrivate)
        out += *task.isPrivate ? "CLASS:PRIVATE\n" : "CLASS:PUBLIC\n";
    out += "END:VTODO\n";
    out += "END:VCALENDAR\n";
    return out;
}

ItemCard TaskCard(const TaskItem& task) {
    ItemCard card;
    card.kind = ItemCard::Kind::kTask;
    if (task.subject)
        card.title = task.subject->text();
    else if (task.topic)
        card.title = task.topic->text();
    if (task.start)
        card.addRow("Start:", LocalDateWords(*task.start));
    if (task.due)
        card.addRow("Due:", LocalDateWords(*task.due));
    if (task.status && *task.status >= 0 && *task.status < static_cast<int>(kStatusWords.size()))
        card.addRow("Status:", kStatusWords[static_cast<size_t>(*task.status)]);
    if (task.percentComplete) {
        card.addRow("% Complete:", std::to_string(std::lround(*task.percentComplete * 100)) + "%");
    }
    if (task.owners)
        card.addRow("Owner:", OnSingleLine(task.owners->text()));
    if (task.body)
        card.description = task.body->text();
    return card;
}

void WriteTaskCalendar(ExtractionRun& run, const MapiMessage& message) {
    const TaskItem task = ReadTaskItem(message);
    if (!task.topic) {
        if (run.onCard)
            run.onCard(TaskCard(task));
        return;
    }
    std::string name = task.topic->text();
    name.erase(name.find_last_not_of(' ') + 1);
    const std::string path =
        AddExtractedFile(run, run.pathFor(SafeFileName(name + ".vcs")), 0, 1).path;
    if (run.onCard)
        run.onCard(TaskCard(task));
    if (run.writeFiles == 0)
        return;
    RecordedOutputFile out(run, path);
    if (out.isOpen())
        out.write(TaskCalendarText(task));
}

}  // namespace parcelo
