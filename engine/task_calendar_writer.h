// Outlook tasks (class "IPM.Task") as iCalendar files with one VTODO.
#pragma once

#include "extraction_run.h"

namespace parcelo {

// Writes the task as "<topic>.vcs" in the run's output directory and records it; a task
// without a conversation topic gives nothing.
void WriteTaskCalendar(ExtractionRun& run, const TnefMessage& message);

}  // namespace parcelo
