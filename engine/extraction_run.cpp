#include "extraction_run.h"

#include "calendar_event_writer.h"
#include "compressed_rtf.h"
#include "contact_card_writer.h"
#include "output_file.h"
#include "property_lookup.h"
#include "safe_file_name.h"
#include "task_calendar_writer.h"

namespace parcelo {

namespace {

constexpr uint32_t kPrRtfCompressed = 0x10090102;
constexpr uint32_t kPrAttachDataObj = 0x3701000D;
constexpr uint32_t kPrAttachDataBin = 0x37010102;
constexpr uint16_t kPrAttachLongFilename = 0x3707;
constexpr uint16_t kPrDisplayName = 0x3001;
constexpr uint16_t kLidAppointmentMessageClass = 0x0024;
constexpr uint64_t kInterfaceIdSize = 16;

bool beginsWithTnefSignature(const ValueBytes& content) {
    const std::string head = content.prefix(4);
    return head.size() == 4 && head == std::string("\x78\x9F\x3E\x22", 4);
}

void writeBody(ExtractionRun& run, const TnefMessage& message, const PropertyLookup& lookup) {
    const std::optional<ValueBytes> compressed = lookup.value(kPrRtfCompressed);
    if (!compressed)
        return;
    const std::optional<std::string> rtf = DecompressRtf(compressed->load());
    if (!rtf)
        return;

    const std::string counter = std::to_string(run.bodyFileCounter);
    const std::string name = message.subject()
                                 ? lookup.messageText(*message.subject()).text() + counter + ".rtf"
                                 : "untitled" + counter + ".rtf";
    ++run.bodyFileCounter;
    const std::string path = AddExtractedFile(run, run.pathFor(SafeFileName(name)),
                                              static_cast<int64_t>(rtf->size()), 0);
    if (run.onBody)
        run.onBody(*rtf);
    if (run.writeFiles == 0)
        return;
    OutputFile(path).write(*rtf);
}

void handleAttachment(ExtractionRun& run, const TnefAttachment& attachment, uint32_t codePage,
                      int depth) {
    const PropertyLookup lookup(attachment.properties, codePage);
    const std::optional<ValueBytes> object = lookup.value(kPrAttachDataObj);
    const std::optional<ValueBytes> binary = lookup.value(kPrAttachDataBin);
    // Exchange leaves attAttachData out and carries the content in the properties only.
    if (attachment.data.empty() && !object && !binary)
        return;

    ValueBytes content;
    uint64_t size = 0;
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

    if (depth < kMaxNestingDepth && beginsWithTnefSignature(content)) {
        const std::unique_ptr<ByteSource> source = content.asSource();
        const std::unique_ptr<TnefMessage> nested = TnefMessage::Parse(*source, run.debugLevel);
        ProcessTnefMessage(run, *nested, depth + 1);
        return;
    }

    std::string name = "(null)";
    if (std::optional<TextValue> longName = lookup.text(kPrAttachLongFilename)) {
        name = longName->text();
    } else if (std::optional<TextValue> displayName = lookup.text(kPrDisplayName)) {
        name = displayName->text();
    } else if (attachment.title) {
        name = lookup.messageText(*attachment.title).text();
    }
    const std::string path =
        AddExtractedFile(run, run.pathFor(SafeFileName(name)), static_cast<int64_t>(size), 1);
    if (run.writeFiles != 1)
        return;
    OutputFile file(path);
    file.writeValue(content);
}

}  // namespace

std::string ExtractionRun::pathFor(std::string_view fileName) const {
    return outputDirectory ? *outputDirectory + std::string(fileName) : std::string(fileName);
}

std::string AddExtractedFile(ExtractionRun& run, const std::string& path, int64_t size,
                             int isAttachment) {
    return run.files.add(path, size, isAttachment);
}

void ProcessTnefMessage(ExtractionRun& run, const TnefMessage& message, int depth) {
    const std::string& messageClass = message.messageClass();
    bool foundCalendar = false;
    if (messageClass == "IPM.Contact") {
        WriteContactCard(run, message);
    } else if (messageClass == "IPM.Task") {
        WriteTaskCalendar(run, message);
    } else if (messageClass == "IPM.Appointment") {
        WriteCalendarEvent(run, message);
        foundCalendar = true;
    }

    const PropertyLookup lookup(message.properties(), message.codePage());
    // Meeting requests and cancellations carry the appointment's class in a named property.
    const std::optional<TextValue> appointmentClass = lookup.namedText(kLidAppointmentMessageClass);
    if (appointmentClass && appointmentClass->text() == "IPM.Appointment" && !foundCalendar) {
        WriteCalendarEvent(run, message);
    }

    if (messageClass == "IPM.Microsoft Mail.Note")
        writeBody(run, message, lookup);

    for (const TnefAttachment& attachment : message.attachments()) {
        handleAttachment(run, attachment, message.codePage(), depth);
    }
}

int ExtractTnefStream(ExtractionRun& run, const ByteSource& source, int writeSwitch,
                      const std::optional<std::string>& outputDirectory) {
    run.writeFiles = writeSwitch;
    run.outputDirectory =
        outputDirectory && !outputDirectory->empty() ? outputDirectory : std::nullopt;
    run.files.clear();
    run.bodyFileCounter = 0;
    const std::unique_ptr<TnefMessage> message = TnefMessage::Parse(source, run.debugLevel);
    ProcessTnefMessage(run, *message);
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
