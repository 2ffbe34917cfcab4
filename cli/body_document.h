// The message bodies of a file as one document, the way the window's body view holds them;
// the text and PDF output of parcelo-extract are both made from it.
#pragma once

#include <string>
#include <vector>

class QTextDocument;

namespace parcelo {

// Appends the bodies (RTF, in the order the window shows them) to `document`, each after a
// blank line when the document already holds something.
void FillBodyDocument(QTextDocument& document, const std::vector<std::string>& bodies);

// Readies Qt for a command: text layout and printing need a GUI application but never a
// display, and Qt's notes about the desktop it runs on have no place in a command's output.
// Call before the application object is made.
void PrepareOffscreenQt();

}  // namespace parcelo
