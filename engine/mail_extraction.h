// The extraction run of a mail file (.eml or mbox): its messages' bodies and parts, and the
// TNEF streams among its parts, all in one run.
#pragma once

#include <optional>
#include <string>

#include "byte_source.h"
#include "extraction_run.h"

namespace parcelo {

// Extracts every message of the mail in `source` in turn, as ExtractTnefStream does a TNEF
// stream: each message's header to onMessage, its body and parts recorded and written, its
// TNEF parts unpacked into the same run and its forwarded messages followed. Returns how
// many messages the file held.
int ExtractMailStream(ExtractionRun& run, const ByteSource& source, int writeSwitch,
                      const std::optional<std::string>& outputDirectory);

}  // namespace parcelo
