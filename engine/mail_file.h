// Mail files (.eml, mbox) read into what the extraction needs of them: each message's header,
// its own body and its parts, nested messages inside the parts that hold them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "byte_source.h"
#include "extracted_file_list.h"
#include "message_header.h"

namespace parcelo {

struct MailMessage;

// A part of a message that a mail reader lists (every one but the body shown), or a message
// forwarded inside it.
struct MailPart {
    std::string fileName;     // as the part names itself; empty when it does not
    std::string contentType;  // "image/png", in lower case
    std::string contentId;    // without the angle brackets
    std::string content;      // decoded from its transfer encoding
    bool isTnef = false;      // typed application/ms-tnef, or beginning with the TNEF signature
    bool isMsg = false;       // beginning with the OLE2 signature, as an Outlook .msg does
    // A message/rfc822 part, read: its content is then empty.
    std::unique_ptr<MailMessage> message;
};

struct MailMessage {
    MessageHeader header;
    // The body a mail reader shows: the HTML of a multipart/alternative, else the plain text.
    BodyFormat bodyFormat = BodyFormat::kNone;
    // HTML as sent (in `bodyCodePage`); plain text as UTF-8.
    std::string body;
    uint32_t bodyCodePage = 0;
    std::vector<MailPart> parts;  // in the order they come
};

// Whether the source begins as mail does: with RFC 5322 header lines, or with an mbox
// "From " line.
bool LooksLikeMail(const ByteSource& source);

// Reads the mail in `source` and hands each message to `onMessage` in turn (one for an .eml,
// each of an mbox in order). Messages nested deeper than kMaxNestingDepth are left as parts
// with their bytes. Returns how many messages were read.
int ReadMailFile(const ByteSource& source,
                 const std::function<void(const MailMessage&)>& onMessage);

}  // namespace parcelo
