// The bodies of a message as text, for parcelo-extract --text and --html.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "extracted_file_list.h"

namespace parcelo {

// One message body as the extraction gives it.
struct MessageBody {
    BodyFormat format = BodyFormat::kRtf;
    std::string content;
    uint32_t codePage = 0;  // of an HTML body whose HTML does not say
};

// The attachments that HTML bodies may show as pictures ("cid:"), by Content-ID.
using ImagesByContentId = std::map<std::string, std::string>;

// The text of the bodies as the window shows them, one after another with a blank line
// between two bodies; empty when text cannot be made here (a build without Qt).
std::string PlainTextOfBodies(const std::vector<MessageBody>& bodies,
                              const ImagesByContentId& images, int argc, char** argv);

// The bodies as the window shows them, in one self-contained HTML document (pictures
// inside as data: URIs); empty when it cannot be made here (a build without Qt).
std::string HtmlOfBodies(const std::vector<MessageBody>& bodies, const ImagesByContentId& images,
                         int argc, char** argv);

}  // namespace parcelo
