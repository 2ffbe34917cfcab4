// The body view's document, built from a file's message sections: the window, printing and
// parcelo-extract --text/--html/--pdf all build it here.
#pragma once

#include "body/message_sections.h"
#include "body/rtf/rtf_reader.h"

class QTextDocument;

namespace parcelo {

// Appends the sections to `document`, each after a blank line when the document already
// holds something; images named by "cid:" come from `resolveCid` only.
void BuildBodyDocument(QTextDocument& document, const std::vector<MessageSection>& sections,
                      const CidResolver& resolveCid);
// The same with the file's own attachments for cid: images.
void BuildBodyDocument(QTextDocument& document, const MessageBodies& bodies);

}  // namespace parcelo
