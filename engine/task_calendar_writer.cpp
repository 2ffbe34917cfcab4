#include "task_calendar_writer.h"

namespace parcelo {

void WriteTaskCalendar(ExtractionRun&, const TnefMessage&) {}

}  // namespace parcelo
