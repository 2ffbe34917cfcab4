// HTML bodies: the HTML that Outlook encapsulates in RTF, and its import into a document
// without letting it reach anything outside the message.
#pragma once

#include "body/rtf/rtf_reader.h"

#include <QString>

#include <optional>
#include <string_view>

class QTextDocument;

namespace parcelo {

// The HTML encapsulated in a \fromhtml1 body, or nothing when `rtf` is another kind of body.
std::optional<QString> HtmlFromRtf(std::string_view rtf);

// Appends `html` at the end of `document`, in a new paragraph when the document is not empty.
// Images are shown only from data: URLs and from `resolveCid`; other images become their
// alternative text, and backgrounds and every other outside reference are dropped. Style
// sheets apply, without anything they would load.
void AppendHtml(QTextDocument& document, const QString& html, const CidResolver& resolveCid = {});

}  // namespace parcelo
