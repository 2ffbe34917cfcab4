// Outlook contacts (class "IPM.Contact") as vCard 2.1 files.
#pragma once

#include "extraction_run.h"

namespace parcelo {

// Writes the contact as "<name>.vcf" in the run's output directory and records it.
void WriteContactCard(ExtractionRun& run, const TnefMessage& message);

}  // namespace parcelo
