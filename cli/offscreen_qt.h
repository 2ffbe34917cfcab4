// The message bodies of a file as one document, the way the window's body view holds them;
// the text and PDF output of parcelo-extract are made from it.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "extracted_file_list.h"

class QTextDocument;

namespace parcelo {

// One message body as the extraction gives it.
struct MessageBody {
    BodyFormat format = BodyFormat::kRtf;
    std::string content;
    uint32_t codePage = 0;  // of an HTML body whose HTML does not say
};

// What a file's bodies need to be shown: the bodies in the order the window shows them, and
// the attachments that HTML bodies may name by Content-ID.
struct MessageBodies {
    std::vector<MessageBody> bodies;
    std::map<std::string, std::string> attachmentsByContentId;
};

// Appends the bodies to `document` as the window does, each after a blank line when the
// document already holds something; cid: images come from the file's own attachments.
void FillBodyDocument(QTextDocument& document, const MessageBodies& bodies);

// Readies Qt for a command: text layout and printing need a GUI application but never a
// display, and Qt's notes about the desktop it runs on have no place in a command's output.
// Call before the application object is made.
void PrepareOffscreenQt();

}  // namespace parcelo
