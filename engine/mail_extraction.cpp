#include "mail_extraction.h"

#include "mail_file.h"
#include "msg_file.h"
#include "value_bytes.h"

namespace parcelo {

namespace {

void processMailMessage(ExtractionRun& run, const MailMessage& message, int depth) {
    if (run.onMessage)
        run.onMessage(message.header, depth);
    if (message.bodyFormat != BodyFormat::kNone) {
        const std::optional<std::string> subject =
            message.header.subject.empty() ? std::nullopt : std::optional(message.header.subject);
        RecordMessageBody(run, subject, message.bodyFormat, message.body, message.bodyCodePage);
    }
    for (const MailPart& part : message.parts) {
        if (part.message) {
            processMailMessage(run, *part.message, depth + 1);
            continue;
        }
        const ValueBytes content = ValueBytes::InMemory(part.content.data(), part.content.size());
        // The TNEF stream of a message is that message again, as Outlook holds it: one level in.
        const MemorySource bytes(part.content.data(), part.content.size());
        if (part.isTnef && depth < kMaxNestingDepth && ExtractTnefPart(run, bytes, depth + 1))
            continue;
        // An attached Outlook message is unpacked in place, as a message embedded in TNEF is.
        if (part.isMsg && depth < kMaxNestingDepth) {
            if (const std::shared_ptr<const MapiMessage> attached = ReadMsgFile(bytes)) {
                ProcessMessage(run, *attached, depth + 1);
                continue;
            }
        }
        RecordAttachment(run, part.fileName, content, part.content.size(), part.contentId,
                         part.contentType);
    }
}

}  // namespace

int ExtractMailStream(ExtractionRun& run, const ByteSource& source, int writeSwitch,
                      const std::optional<std::string>& outputDirectory) {
    BeginExtractionRun(run, writeSwitch, outputDirectory);
    return ReadMailFile(source,
                        [&](const MailMessage& message) { processMailMessage(run, message, 0); });
}

}  // namespace parcelo
