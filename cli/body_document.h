// The bodies of a message in one document, as the window shows them.
#pragma once

#include <string>
#include <vector>

class QTextDocument;

namespace parcelo {

// Appends every body to `document` in the order given, with a blank line between two
// bodies, read as the body view reads them.
void AppendBodies(QTextDocument& document, const std::vector<std::string>& rtfBodies);

}  // namespace parcelo
