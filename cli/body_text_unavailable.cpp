// Built without Qt: no RTF reader, so no body text.
#include <cstdio>

#include "body_text.h"

namespace parcelo {

std::string PlainTextOfBodies(const MessageBodies& bodies, int, char**) {
    if (!bodies.sections.empty())
        std::fputs("parcelo-extract: built without the RTF reader\n", stderr);
    return {};
}

}  // namespace parcelo
