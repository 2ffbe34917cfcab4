// Built without Qt: no RTF reader, so no HTML of the bodies.
#include <cstdio>

#include "body_html.h"

namespace parcelo {

std::string HtmlOfBodies(const MessageBodies& bodies, int, char**) {
    if (!bodies.sections.empty())
        std::fputs("parcelo-extract: built without the RTF reader\n", stderr);
    return {};
}

}  // namespace parcelo
