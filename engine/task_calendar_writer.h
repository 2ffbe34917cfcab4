// Outlook tasks (class "IPM.Task") as iCalendar files with one VTODO.
#pragma once

#include <optional>
#include <string>

#include "extraction_run.h"
#include "file_time.h"
#include "item_card.h"
#include "property_lookup.h"

namespace parcelo {

// The values of a task, read once, from which both its file and its card are made.
struct TaskItem {
    std::optional<TextValue> topic;  // names the file; a task without one has none
    std::string messageId;
    std::optional<TextValue> lastUser;
    std::optional<TextValue> owners;  // written only when the task has been sent on
    bool sentOn = false;
    std::optional<TextValue> subject;
    std::optional<TextValue> body;
    std::optional<CalendarTime> created;
    std::optional<CalendarTime> start;
    std::optional<CalendarTime> due;
    std::optional<CalendarTime> lastModified;
    std::optional<bool> isPrivate;
    std::optional<int32_t> status;
    std::optional<double> percentComplete;  // 0 to 1
};

// The task's values as the message holds them.
TaskItem ReadTaskItem(const MapiMessage& message);

// The file's content.
std::string TaskCalendarText(const TaskItem& task);

// The card of the task.
ItemCard TaskCard(const TaskItem& task);

// Writes the task as "<topic>.vcs" in the run's output directory and records it; a task
// without a conversation topic gives no file. Its card goes to the run's onCard.
void WriteTaskCalendar(ExtractionRun& run, const MapiMessage& message);

}  // namespace parcelo
