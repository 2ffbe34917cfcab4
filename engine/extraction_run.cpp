#include "extraction_run.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "calendar_event_writer.h"
#include "code_page.h"
#include "compressed_rtf.h"
#include "contact_card_writer.h"
#include "distribution_list.h"
#include "output_file.h"
#include "property_lookup.h"
#include "safe_file_name.h"
#include "task_calendar_writer.h"
#include "tnef_library.h"

namespace parcelo {

namespace {

constexpr uint32_t kPrRtfCompressed = 0x10090102;
constexpr uint16_t kPrBody = 0x1000;
constexpr uint16_t kPrBodyHtml = 0x1013;
constexpr uint32_t kPrInternetCodePage = 0x3FDE0003;
constexpr uint32_t kPrAttachDataObj = 0x3701000D;
constexpr uint32_t kPrAttachDataBin = 0x37010102;
constexpr uint16_t kPrAttachLongFilename = 0x3707;
constexpr uint16_t kPrDisplayName = 0x3001;
constexpr uint16_t kPrAttachMimeTag = 0x370E;
constexpr uint16_t kPrAttachContentId = 0x3712;
constexpr uint16_t kLidAppointmentMessageClass = 0x0024;
constexpr uint64_t kInterfaceIdSize = 16;
// US-ASCII, which browsers read as Windows-1252 (mail marked so often is).
constexpr uint32_t kUsAsciiCodePage = 20127;
// How often a name found taken as its file is created is passed over for the next one.
constexpr int kMaxCreateAttempts = 100;

// Whether something is at `path` that the run must not write over. What cannot even be
// looked at is not taken: creating the file then fails and says why.
bool takenOnDisk(const std::string& path, bool replaceExisting) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return false;
    return !(replaceExisting && S_ISREG(st.st_mode));
}

bool beginsWithTnefSignature(const ValueBytes& content) {
    const std::string head = content.prefix(4);
    return head.size() == 4 && head == std::string("\x78\x9F\x3E\x22", 4);
}

// The text of an optional text value, empty when absent.
std::string textOf(const std::optional<TextValue>& value) {
    return value ? value->text() : std::string();
}

// The text up to the first NUL.
std::string_view untilNul(std::string_view bytes) {
    return bytes.substr(0, bytes.find('\0'));
}

// A body as written to its file.
struct Body {
    BodyFormat format = BodyFormat::kNone;
    std::string content;
};

// The HTML body, when the message has one with text: as stored, or from UTF-16 as UTF-8.
std::optional<std::string> htmlBody(const PropertyLookup& lookup) {
    if (std::optional<ValueBytes> binary = lookup.value(PropertyTag(kPrBodyHtml, kPtBinary))) {
        std::string bytes = binary->load();
        if (!untilNul(bytes).empty())
            return bytes;
    }
    if (std::optional<ValueBytes> string8 = lookup.value(PropertyTag(kPrBodyHtml, kPtString8))) {
        const std::string bytes = string8->load();
        if (!untilNul(bytes).empty())
            return std::string(untilNul(bytes));
    }
    if (std::optional<ValueBytes> unicode = lookup.value(PropertyTag(kPrBodyHtml, kPtUnicode))) {
        std::string text = ConvertUtf16LeToUtf8(unicode->load());
        if (!text.empty())
            return text;
    }
    return std::nullopt;
}

// The body a message shows: its RTF, else its HTML, else its plain text.
Body bodyOf(const MapiMessage& message, const PropertyLookup& lookup) {
    if (const std::optional<ValueBytes> compressed = lookup.value(kPrRtfCompressed)) {
        std::optional<std::string> rtf = DecompressRtf(compressed->load());
        if (rtf && !rtf->empty())
            return {BodyFormat::kRtf, std::move(*rtf)};
    }
    if (std::optional<std::string> html = htmlBody(lookup))
        return {BodyFormat::kHtml, std::move(*html)};
    std::string text = textOf(lookup.text(kPrBody));
    if (text.empty() && !message.body.empty())
        text = lookup.messageText(message.body).text();
    if (!text.empty())
        return {BodyFormat::kText, std::move(text)};
    return {};
}

std::string_view extensionOf(BodyFormat format) {
    switch (format) {
        case BodyFormat::kRtf:
            return ".rtf";
        case BodyFormat::kHtml:
            return ".html";
        default:
            return ".txt";
    }
}

// The code page an HTML body's 8-bit text is in, when the HTML itself does not say.
uint32_t htmlCodePage(const MapiMessage& message, const PropertyLookup& lookup) {
    uint32_t codePage = message.codePage;
    if (const std::optional<ValueBytes> internet = lookup.value(kPrInternetCodePage)) {
        if (const auto value = static_cast<uint32_t>(LittleEndian32(*internet)); value != 0)
            codePage = value;
    }
    return codePage == kUsAsciiCodePage ? kDefaultCodePage : codePage;
}

void writeBody(ExtractionRun& run, const MapiMessage& message, const PropertyLookup& lookup) {
    const Body body = bodyOf(message, lookup);
    if (body.format == BodyFormat::kNone)
        return;
    const std::optional<std::string> subject =
        message.subject ? std::optional(lookup.messageText(*message.subject).text())
                          : std::nullopt;
    RecordMessageBody(run, subject, body.format, body.content,
                      body.format == BodyFormat::kHtml ? htmlCodePage(message, lookup) : 0);
}

// An attachment's name: the first of its long file name, display name and title that holds
// text; empty when none does.
std::string attachmentName(const MapiAttachment& attachment, const PropertyLookup& lookup) {
    for (const uint16_t id : {kPrAttachLongFilename, kPrDisplayName}) {
        if (std::string name = textOf(lookup.text(id)); !name.empty())
            return name;
    }
    return attachment.title ? lookup.messageText(*attachment.title).text() : std::string();
}

void handleAttachment(ExtractionRun& run, const MapiAttachment& attachment, uint32_t codePage,
                      int depth) {
    const PropertyLookup lookup(attachment.properties, codePage);
    const std::optional<ValueBytes> object = lookup.value(kPrAttachDataObj);
    const std::optional<ValueBytes> binary = lookup.value(kPrAttachDataBin);

    ValueBytes content;
    uint64_t size = 0;
    const bool hasContent = !attachment.data.empty() || object || binary;
    if (object) {
        // An interface identifier comes first; a value too short to hold one has no content.
        content = object->size() >= kInterfaceIdSize ? object->withoutPrefix(kInterfaceIdSize)
                                                     : ValueBytes();
        size = object->size();
    } else if (binary) {
        content = *binary;
        size = binary->size();
    } else {
        content = attachment.data;
        size = attachment.data.size();
    }

    if (depth < kMaxNestingDepth && attachment.embedded) {
        ProcessMessage(run, *attachment.embedded, depth + 1);
        return;
    }
    if (depth < kMaxNestingDepth && beginsWithTnefSignature(content) &&
        ExtractTnefPart(run, *content.asSource(), depth + 1))
        return;

    const std::string name = attachmentName(attachment, lookup);
    // An attachment with neither content nor a name has nothing to show.
    if (name.empty() && !hasContent)
        return;
    RecordAttachment(run, name, content, size, textOf(lookup.text(kPrAttachContentId)),
                     textOf(lookup.text(kPrAttachMimeTag)));
}

}  // namespace

std::string ExtractionRun::pathFor(std::string_view fileName) const {
    return outputDirectory ? *outputDirectory + std::string(fileName) : std::string(fileName);
}

void RecordMessageBody(ExtractionRun& run, const std::optional<std::string>& subject,
                       BodyFormat format, const std::string& content, uint32_t codePage) {
    const std::string ending =
        std::to_string(run.bodyFileCounter) + std::string(extensionOf(format));
    const std::string name =
        subject ? SafeFileNameWithEnding(*subject, ending) : "untitled" + ending;
    ++run.bodyFileCounter;
    ExtractedFile& entry =
        AddExtractedFile(run, run.pathFor(name), static_cast<int64_t>(content.size()), 0);
    entry.bodyFormat = format;
    if (format == BodyFormat::kHtml)
        entry.codePage = codePage;
    const std::string path = entry.path;
    if (run.onBody)
        run.onBody(entry, content);
    if (run.writeFiles == 0)
        return;
    RecordedOutputFile(run, path).write(content);
}

void RecordAttachment(ExtractionRun& run, const std::string& name, const ValueBytes& content,
                      uint64_t size, const std::string& contentId, const std::string& mimeType) {
    ExtractedFile& entry =
        AddExtractedFile(run, run.pathFor(SafeFileName(name.empty() ? "(null)" : name)),
                         static_cast<int64_t>(size), 1);
    entry.contentId = contentId;
    entry.mimeType = mimeType;
    const std::string path = entry.path;
    if (run.onAttachment)
        run.onAttachment(entry, content);
    if (run.writeFiles != 1)
        return;
    RecordedOutputFile(run, path).writeValue(content);
}

ExtractedFile& AddExtractedFile(ExtractionRun& run, const std::string& path, int64_t size,
                                int isAttachment) {
    return run.files.add(path, size, isAttachment);
}

void NoteWriteResult(ExtractionRun& run, const std::string& path, int error) {
    run.files.noteWriteError(path, error);
}

RecordedOutputFile::RecordedOutputFile(ExtractionRun& run, const std::string& path)
    : run_(run), path_(path) {
    const Existing existing = run.replaceExisting ? Existing::kReplace : Existing::kKeep;
    for (int attempt = 1;; ++attempt) {
        open(path_, existing);
        // Something appeared at the name since it was recorded.
        if (error() != EEXIST || attempt == kMaxCreateAttempts)
            break;
        path_ = run.files.renumber(path_);
    }
    created_ = isOpen();
}

RecordedOutputFile::~RecordedOutputFile() {
    const int error = finish();
    // A file cut short would pass for the attachment itself.
    if (error != 0 && created_)
        ::unlink(path_.c_str());
    NoteWriteResult(run_, path_, error);
}

void ProcessMessage(ExtractionRun& run, const MapiMessage& message, int depth) {
    if (run.onMessage)
        run.onMessage(ReadMessageHeader(message), depth);
    const std::string& messageClass = message.messageClass;
    bool foundCalendar = false;
    if (messageClass == "IPM.Contact") {
        WriteContactCard(run, message);
    } else if (messageClass == "IPM.Task") {
        WriteTaskCalendar(run, message);
    } else if (messageClass == "IPM.Appointment") {
        WriteCalendarEvent(run, message);
        foundCalendar = true;
    } else if (messageClass == "IPM.DistList") {
        ShowDistributionList(run, message);
    }

    run.cutShortStreams += message.damage.cutShort ? 1 : 0;
    run.damagedBlocks += message.damage.damagedBlocks;

    const PropertyLookup lookup(message.properties, message.codePage);
    // Meeting requests and cancellations carry the appointment's class in a named property.
    const std::optional<TextValue> appointmentClass = lookup.namedText(kLidAppointmentMessageClass);
    bool wroteMeeting = false;
    if (appointmentClass && appointmentClass->text() == "IPM.Appointment" && !foundCalendar) {
        WriteCalendarEvent(run, message);
        wroteMeeting = true;
    }

    // Converted items carry their text in their own file; every other message shows its body.
    const bool converted = messageClass == "IPM.Contact" || messageClass == "IPM.Task" ||
                           messageClass == "IPM.Appointment" || wroteMeeting;
    if (!converted)
        writeBody(run, message, lookup);

    for (const MapiAttachment& attachment : message.attachments) {
        handleAttachment(run, attachment, message.codePage, depth);
    }
}

void BeginExtractionRun(ExtractionRun& run, int writeSwitch,
                        const std::optional<std::string>& outputDirectory) {
    run.writeFiles = writeSwitch;
    run.outputDirectory =
        outputDirectory && !outputDirectory->empty() ? outputDirectory : std::nullopt;
    run.files.clear();
    // Names taken on disk are passed over in a listing too, so that it shows what a run that
    // writes would write.
    run.files.isTakenElsewhere = [replace = run.replaceExisting](const std::string& path) {
        return takenOnDisk(path, replace);
    };
    run.bodyFileCounter = 0;
    run.isTnef = false;
    run.cutShortStreams = 0;
    run.damagedBlocks = 0;
    run.unreadTail = 0;
}

int ExtractTnefStream(ExtractionRun& run, const ByteSource& source, int writeSwitch,
                      const std::optional<std::string>& outputDirectory) {
    BeginExtractionRun(run, writeSwitch, outputDirectory);
    const std::shared_ptr<const MapiMessage> message = ReadTnefMessage(source, run.debugLevel);
    run.isTnef = message != nullptr;
    if (!message) {
        // What is not a stream shows as a message with nothing in it.
        ProcessMessage(run, MapiMessage(), 0);
        return 0;
    }
    run.unreadTail = message->damage.unreadTail;
    ProcessMessage(run, *message, 0);
    return 0;
}

bool ExtractTnefPart(ExtractionRun& run, const ByteSource& source, int depth) {
    const std::shared_ptr<const MapiMessage> message = ReadTnefMessage(source, run.debugLevel);
    // Bytes that merely begin like a stream, with no attribute after the signature, are a
    // file of their own.
    if (!message || message->partsRead == 0)
        return false;
    ProcessMessage(run, *message, depth);
    return true;
    return 0;
}

int ExtractTnefFile(ExtractionRun& run, const std::string& path, int writeSwitch,
                    const std::optional<std::string>& outputDirectory) {
    const std::unique_ptr<ByteSource> source = OpenByteSource(path);
    if (!source) {
        run.files.clear();
        return -1;
    }
    return ExtractTnefStream(run, *source, writeSwitch, outputDirectory);
}

}  // namespace parcelo
