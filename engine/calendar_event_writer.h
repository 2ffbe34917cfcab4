// Appointments, meeting requests and cancellations as "calendar.vcs" with one VEVENT.
#pragma once

#include "extraction_run.h"

namespace parcelo {

// Writes the event as "calendar.vcs" in the run's output directory and records it.
void WriteCalendarEvent(ExtractionRun& run, const TnefMessage& message);

}  // namespace parcelo
