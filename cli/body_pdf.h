// The message bodies printed into a PDF file, for parcelo-extract --pdf.
#pragma once

#include <string>

#include "body/message_sections.h"

namespace parcelo {

// Prints the RTF bodies, as the window shows them, into the PDF file `path` with the window's
// Print command, without a display or a printer: the same sheets, margins and pagination as
// printing into a file from the window. No body gives one empty sheet. Says on stderr why the
// file could not be written and returns false then.
bool PrintBodiesToPdf(const MessageBodies& bodies, const std::string& path, int argc, char** argv);

}  // namespace parcelo
