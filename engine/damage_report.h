// What a damaged stream lost, in the words both the command line and the window report.
#pragma once

#include <string>

#include "extraction_run.h"

namespace parcelo {

// What the run skipped, its parts joined by "; "; empty for a sound stream.
std::string DamageReport(const ExtractionRun& run);

}  // namespace parcelo
