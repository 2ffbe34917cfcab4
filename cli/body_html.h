// The message bodies as one HTML page, for parcelo-extract --html.
#pragma once

#include <string>

#include "body/message_sections.h"

namespace parcelo {

// The bodies as the window shows them, in one self-contained HTML document (pictures inside
// as data: URIs, no link but web and mail links); empty when it cannot be made here (a build
// without Qt).
std::string HtmlOfBodies(const MessageBodies& bodies, int argc, char** argv);

}  // namespace parcelo
