#include "calendar_event_writer.h"

namespace parcelo {

void WriteCalendarEvent(ExtractionRun&, const TnefMessage&) {}

}  // namespace parcelo
