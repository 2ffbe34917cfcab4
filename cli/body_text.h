// The plain text of message bodies, for parcelo-extract --text.
#pragma once

#include <string>
#include <vector>

namespace parcelo {

// The text of each RTF body as the window shows it, one after another with a blank line
// between two bodies; empty when text cannot be made here (a build without Qt).
std::string PlainTextOfBodies(const std::vector<std::string>& rtfBodies, int argc, char** argv);

}  // namespace parcelo
