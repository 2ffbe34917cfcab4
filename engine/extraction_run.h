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
#include "item_card.h"
#include "mapi_message.h"
#include "message_header.h"
#include "output_file.h"

namespace parcelo {

// Streams nested deeper than this are written as plain attachments.
inline constexpr int kMaxNestingDepth = 32;

// The state of one run, read by the item writers.
struct ExtractionRun {
    int writeFiles = 1;  // 1: create the files that are recorded; 0: list them only
    // Whether a regular file already at a recorded path is replaced; otherwise (and always
    // for anything else there, a symbolic link included) the file gets a numbered name.
    bool replaceExisting = false;
    // Put in front of every file name; ends in "/". None: names relative to the current
    // directory.
    std::optional<std::string> outputDirectory;
    int bodyFileCounter = 0;  // numbers the body files of the run
    ExtractedFileList files;
    int debugLevel = 0;  // handed to the TNEF library for every parse
    // Called once for every message (the outer one at depth 0, nested ones deeper) before
    // anything of it is recorded, whether or not files are written.
    std::function<void(const MessageHeader& header, int depth)> onMessage;
    // Called with every message body as it is recorded, whether or not files are written
    // (so that a body can be read without writing it).
    std::function<void(const ExtractedFile& body, const std::string& content)> onBody;
    // Called with every attachment's content as it is recorded, the same way.
    std::function<void(const ExtractedFile& attachment, const ValueBytes& content)> onAttachment;
    // Called with the card of every converted item (appointment, meeting, task, contact,
    // distribution list), in the order the items are met, the same way.
    std::function<void(const ItemCard& card)> onCard;

    // What the run met, for those who report it.
    bool isTnef = false;      // whether the stream began with the TNEF signature
    int cutShortStreams = 0;  // streams (the outer one or nested ones) that broke off
    int damagedBlocks = 0;    // property blocks that ended before their last property
    uint64_t unreadTail = 0;  // bytes after the last attribute of the outer stream that begin none

    // The output directory followed by a file-name part.
    std::string pathFor(std::string_view fileName) const;
};

// Starts a run: an empty list, body numbering from 0, no damage met, and the output
// directory and write switch given (1: write the files, 0: list them only). Every front end
// calls it once before the messages of its file.
void BeginExtractionRun(ExtractionRun& run, int writeSwitch,
                        const std::optional<std::string>& outputDirectory);

// Extracts the TNEF file at `path`. Returns -1 when the file cannot be opened (the list is
// then empty), else 0, whatever the stream held; the files written are in `run.files`.
int ExtractTnefFile(ExtractionRun& run, const std::string& path, int writeSwitch,
                    const std::optional<std::string>& outputDirectory);

// The same for a stream already open (or held in memory); always returns 0.
int ExtractTnefStream(ExtractionRun& run, const ByteSource& source, int writeSwitch,
                      const std::optional<std::string>& outputDirectory);

// Processes a TNEF stream found inside another file (a part of a mail) into the run, its
// message at `depth`. False, with nothing recorded, when the bytes hold no attribute after
// the signature: they are then a file of their own.
bool ExtractTnefPart(ExtractionRun& run, const ByteSource& source, int depth);

// Records a message body and writes it: named for the subject (none: "untitled") with the
// run's body counter and the format's extension. `codePage` is kept for an HTML body.
void RecordMessageBody(ExtractionRun& run, const std::optional<std::string>& subject,
                       BodyFormat format, const std::string& content, uint32_t codePage);

// Records an attachment under its safe name ("(null)" for none) and writes its content;
// `size` is that of the value the message holds.
void RecordAttachment(ExtractionRun& run, const std::string& name, const ValueBytes& content,
                      uint64_t size, const std::string& contentId, const std::string& mimeType);

// Writes what one message holds: its converted item, its body and its attachments,
// following embedded messages and nested streams. `depth` is 0 for the outer message.
void ProcessMessage(ExtractionRun& run, const MapiMessage& message, int depth);

// Records a file in the run's list and returns its entry: the path to create it at is never
// one recorded before (letter case aside), but may be numbered to keep it apart.
ExtractedFile& AddExtractedFile(ExtractionRun& run, const std::string& path, int64_t size,
                                int isAttachment);

// Notes in the run's list how writing the file at `path` ended (the result of
// OutputFile::finish).
void NoteWriteResult(ExtractionRun& run, const std::string& path, int error);

// The file of a recorded entry, created for writing; how writing it ended is noted in the
// run's list when it closes. A name found taken as the file is created is passed over for
// the next free one, and the entry's path follows; a file not written whole is removed.
class RecordedOutputFile : public OutputFile {
  public:
    RecordedOutputFile(ExtractionRun& run, const std::string& path);
    ~RecordedOutputFile();
    RecordedOutputFile(const RecordedOutputFile&) = delete;
    RecordedOutputFile& operator=(const RecordedOutputFile&) = delete;

  private:
    ExtractionRun& run_;
    std::string path_;
    bool created_ = false;
};

}  // namespace parcelo
