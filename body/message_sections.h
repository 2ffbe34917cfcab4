// What the body view shows of a file: one section per message, in walk order (the outer
// message first, then each nested one as it is met), each its header above its converted item's
// card and its body. Plain
// data, gathered during the extraction run, for the window and parcelo-extract alike.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/extraction_run.h"

namespace parcelo {

// One message body as the extraction gives it.
struct MessageBody {
    BodyFormat format = BodyFormat::kRtf;
    std::string content;
    uint32_t codePage = 0;  // of an HTML body whose HTML does not say
};

// What one message shows. Its blocks go into the document in the order of the fields.
struct MessageSection {
    MessageHeader header;
    int depth = 0;                 // 0 for the outer message
    std::optional<ItemCard> card;  // of a converted item: appointment, task, contact, list
    std::optional<MessageBody> body;
};

// A file's sections and the attachments that HTML bodies may name by Content-ID.
struct MessageBodies {
    std::vector<MessageSection> sections;
    std::map<std::string, std::string> attachmentsByContentId;
    // Picture attachments by their file name in lower case, for a Content-ID that no part
    // carries but that names the file (see FileNameInContentId).
    std::map<std::string, std::string> picturesByName;
};

// Makes `run` add a section to `sections` for every message it meets and give it its card and
// its body.
// The vector must outlive the run.
inline void CollectMessageSections(ExtractionRun& run, std::vector<MessageSection>& sections) {
    run.onMessage = [&sections](const MessageHeader& header, int depth) {
        sections.push_back({header, depth, std::nullopt, std::nullopt});
    };
    run.onCard = [&sections](const ItemCard& card) {
        // A message's item is converted after its header and before its body.
        if (sections.empty() || sections.back().card || sections.back().body)
            sections.push_back({});
        sections.back().card = card;
    };
    run.onBody = [&sections](const ExtractedFile& body, const std::string& content) {
        // A message has one body, given after its header and before any nested message.
        if (sections.empty() || sections.back().body)
            sections.push_back({});
        sections.back().body = MessageBody{body.bodyFormat, content, body.codePage};
    };
}

}  // namespace parcelo
