// Reads arbitrary bytes as an RTF message body, as the body view does, then saves the
// document as RTF and reads that back.
#include "body/offline_document.h"
#include "body/plain_text.h"
#include "body/rtf/rtf_reader.h"
#include "body/rtf/rtf_writer.h"
#include "fuzz/offscreen_application.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool started = (parcelo::fuzz::StartOffscreenApplication(), true);
    (void)started;
    const std::string_view rtf(reinterpret_cast<const char*>(data), size);

    parcelo::OfflineTextDocument document;
    // Every cid: image resolves to the body itself, so the image path runs on fuzzed bytes.
    parcelo::AppendRtf(document, rtf, [&](const QString&) {
        return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    });
    parcelo::PlainTextOfDocument(document);

    const QByteArray saved = parcelo::RtfFromDocument(document);
    parcelo::OfflineTextDocument reread;
    parcelo::AppendRtf(reread, std::string_view(saved.constData(), saved.size()));
    return 0;
}
