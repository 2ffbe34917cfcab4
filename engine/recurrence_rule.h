// The RRULE line of an appointment, from Outlook's binary recurrence pattern
// (PidLidAppointmentRecur).
#pragma once

#include <string>
#include <string_view>

#include "output_file.h"
#include "property_lookup.h"

namespace parcelo {

// The whole RRULE line, "\n" included, for a recurrence pattern; empty when the pattern is
// too short to hold one. `lookup` gives the message's daily interval.
std::string RecurrenceRuleLine(std::string_view pattern, const PropertyLookup& lookup);

// Writes the RRULE line of the pattern, or nothing.
void WriteRecurrenceRule(OutputFile& out, std::string_view pattern, const PropertyLookup& lookup);

}  // namespace parcelo
