// The extraction run: one TNEF file turned into files in an output directory, and the list
// of what was written.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "byte_source.h"
#include "extracted_file_list.h"
#include "tnef_message.h"

namespace parcelo {

// Streams nested deeper than this are written as plain attachments.
inline constexpr int kMaxNestingDepth = 32;

// The state of one run, read by the item writers.
struct ExtractionRun {
    int writeFiles = 1;  // 1: create the files that are recorded; 0: list them only
    // Put in front of every file name; ends in "/". None: names relative to the current
    // directory.
    std::optional<std::string> outputDirectory;
    int bodyFileCounter = 0;  // numbers the body files of the run
    ExtractedFileList files;
    int debugLevel = 0;  // handed to the TNEF library for every parse
    // Called with every message body's RTF as it is recorded, whether or not files are
    // written (so that a body can be read without writing it).
    std::function<void(const std::string& rtf)> onBody;

    // The output directory followed by a file-name part.
    std::string pathFor(std::string_view fileName) const;
};

// Extracts the TNEF file at `path`. Returns -1 when the file cannot be opened (the list is
// then empty), else 0, whatever the stream held; the files written are in `run.files`.
int ExtractTnefFile(ExtractionRun& run, const std::string& path, int writeSwitch,
                    const std::optional<std::string>& outputDirectory);

// The same for a stream already open (or held in memory); always returns 0.
int ExtractTnefStream(ExtractionRun& run, const ByteSource& source, int writeSwitch,
                      const std::optional<std::string>& outputDirectory);

// Writes what one parsed message holds: its converted item, its body and its attachments,
// following nested streams. `depth` is 0 for the outer message.
void ProcessTnefMessage(ExtractionRun& run, const TnefMessage& message, int depth = 0);

// Records a file in the run's list (once per path, letter case aside) and returns the path
// to create it at: the path first recorded.
std::string AddExtractedFile(ExtractionRun& run, const std::string& path, int64_t size,
                             int isAttachment);

}  // namespace parcelo
