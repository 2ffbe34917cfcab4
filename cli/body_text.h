// The plain text of message bodies, for parcelo-extract --text.
#pragma once

#include <string>

#include "body/message_sections.h"

namespace parcelo {

// The text of the bodies as the window shows them, one after another with a blank line
// between two bodies; empty when text cannot be made here (a build without Qt).
std::string PlainTextOfBodies(const MessageBodies& bodies, int argc, char** argv);

}  // namespace parcelo
