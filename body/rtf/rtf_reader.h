// Reading an RTF message body into a QTextDocument, the way the body view shows it.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <string_view>

class QTextDocument;

namespace parcelo {

// The bytes of the attachment with this Content-ID (given without "cid:"), or an empty array.
using CidResolver = std::function<QByteArray(const QString& contentId)>;

enum class RtfBodyKind {
    Native,  // RTF written by Word, Outlook or WordPad
    Html,    // HTML that Outlook encapsulated in RTF (\fromhtml1)
    Text,    // plain text that Outlook encapsulated in RTF (\fromtext)
};

// What kind of body `rtf` is, from the control words of its header.
RtfBodyKind RtfBodyKindOf(std::string_view rtf);

// Appends the RTF document `rtf` at the end of `document`, in a new paragraph when the
// document is not empty, and says what kind of body it was. Nothing is ever loaded from the
// network or the file system: pictures come from the body itself, and the images that an
// HTML body names by "cid:" come from `resolveCid` when it is given. Damaged or truncated RTF
// gives what can be read of it.
RtfBodyKind AppendRtf(QTextDocument& document, std::string_view rtf,
                      const CidResolver& resolveCid = {});

}  // namespace parcelo
