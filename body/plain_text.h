// The text of a body as the view shows it, for the command line and for searching.
#pragma once

#include <QString>

#include <string_view>

class QTextDocument;

namespace parcelo {

// One line per paragraph; table rows as lines with their cells separated by tabs (a row
// with a single filled cell, as layout tables have, gives that cell's lines); list items
// start with their number or bullet; links give their text and pictures nothing. Lines end
// with "\n" except the last.
QString PlainTextOfDocument(const QTextDocument& document);

// The plain text of an RTF body, read as AppendRtf reads it. Needs a QGuiApplication, which
// may run on the "offscreen" platform.
QString PlainTextOfRtf(std::string_view rtf);

}  // namespace parcelo
