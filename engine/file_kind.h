// What a file is, told by its content and never by its name.
#pragma once

#include <optional>
#include <string>

#include "byte_source.h"
#include "extraction_run.h"

namespace parcelo {

enum class FileKind {
    kTnef,   // begins with the TNEF signature (winmail.dat)
    kMsg,    // an OLE2 compound file, as an Outlook .msg is
    kMail,   // RFC 5322 header lines, or an mbox "From " line
    kOther,  // none Parcelo opens
};

// The kind of the file in `source`.
FileKind DetectFileKind(const ByteSource& source);

// Whether the engine extracts files of this kind.
bool IsExtractable(FileKind kind);

// Detects the kind of `source` and extracts it with that kind's front end, as
// ExtractTnefStream does; a kind that is not extractable records nothing. Returns the kind.
FileKind ExtractByContent(ExtractionRun& run, const ByteSource& source, int writeSwitch,
                          const std::optional<std::string>& outputDirectory);

}  // namespace parcelo
