#include "file_kind.h"

#include <cstring>

#include "mail_extraction.h"
#include "mail_file.h"
#include "msg_file.h"

namespace parcelo {

namespace {

constexpr unsigned char kTnefSignatureBytes[] = {0x78, 0x9F, 0x3E, 0x22};
constexpr unsigned char kOle2Signature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

bool beginsWith(const ByteSource& source, const unsigned char* signature, size_t length) {
    unsigned char head[8] = {};
    return length <= sizeof head && source.read(0, head, length) &&
           std::memcmp(head, signature, length) == 0;
}

}  // namespace

FileKind DetectFileKind(const ByteSource& source) {
    if (beginsWith(source, kTnefSignatureBytes, sizeof kTnefSignatureBytes))
        return FileKind::kTnef;
    // Other compound files (Word's, Excel's) hold no message's properties.
    if (beginsWith(source, kOle2Signature, sizeof kOle2Signature))
        return LooksLikeMsgFile(source) ? FileKind::kMsg : FileKind::kOther;
    if (LooksLikeMail(source))
        return FileKind::kMail;
    return FileKind::kOther;
}

bool IsExtractable(FileKind kind) {
    return kind == FileKind::kTnef || kind == FileKind::kMsg || kind == FileKind::kMail;
}

FileKind ExtractByContent(ExtractionRun& run, const ByteSource& source, int writeSwitch,
                          const std::optional<std::string>& outputDirectory) {
    const FileKind kind = DetectFileKind(source);
    switch (kind) {
        case FileKind::kTnef:
            ExtractTnefStream(run, source, writeSwitch, outputDirectory);
            break;
        case FileKind::kMsg: {
            BeginExtractionRun(run, writeSwitch, outputDirectory);
            const std::shared_ptr<const MapiMessage> message = ReadMsgFile(source);
            // A compound file whose message cannot be read at all is none Parcelo opens.
            if (!message)
                return FileKind::kOther;
            ProcessMessage(run, *message, 0);
            break;
        }
        case FileKind::kMail:
            ExtractMailStream(run, source, writeSwitch, outputDirectory);
            break;
        default:
            BeginExtractionRun(run, writeSwitch, outputDirectory);
            break;
    }
    return kind;
}

}  // namespace parcelo
