// Built without Qt: no RTF reader and no printing, so no PDF.
#include <cstdio>

#include "body_pdf.h"

namespace parcelo {

bool PrintBodiesToPdf(const MessageBodies&, const std::string&, int, char**) {
    std::fputs("parcelo-extract: built without printing\n", stderr);
    return false;
}

}  // namespace parcelo
