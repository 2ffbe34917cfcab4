// A message's header as a mail reader shows it above the body: "From:", "Sent:", "To:",
// "Cc:", "Subject:" and "Importance:" lines, in the user's time zone and locale.
#pragma once

#include <QList>
#include <QPair>
#include <QString>

#include "engine/message_header.h"

class QTextDocument;

namespace parcelo {

// The header's lines as label ("From:") and value, only those the message has.
QList<QPair<QString, QString>> MessageHeaderLines(const MessageHeader& header);

// The same as plain "Label: value" lines, each ending in "\n"; empty for an empty header.
QString MessageHeaderText(const MessageHeader& header);

// Appends the header at the end of `document` in its default font, labels bold, with a
// thin rule under it; after a blank line when the document already holds something.
// An empty header appends nothing.
void AppendMessageHeader(QTextDocument& document, const MessageHeader& header);

}  // namespace parcelo
