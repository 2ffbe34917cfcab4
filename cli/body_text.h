// The bodies of a message as text, for parcelo-extract --text and --html.
#pragma once

#include <string>
#include <vector>

namespace parcelo {

// The text of the bodies as the window shows them, one after another with a blank line
// between two bodies; empty when text cannot be made here (a build without Qt).
std::string PlainTextOfBodies(const std::vector<std::string>& rtfBodies, int argc, char** argv);

// The bodies as the window shows them, in one self-contained HTML document (pictures
// inside as data: URIs); empty when it cannot be made here (a build without Qt).
std::string HtmlOfBodies(const std::vector<std::string>& rtfBodies, int argc, char** argv);

}  // namespace parcelo
