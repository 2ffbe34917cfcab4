// Built without Qt: no RTF reader, so no body text.
#include <cstdio>

#include "body_text.h"

namespace parcelo {

namespace {

std::string unavailable(const std::vector<std::string>& rtfBodies) {
    if (!rtfBodies.empty())
        std::fputs("parcelo-extract: built without the RTF reader\n", stderr);
    return {};
}

}  // namespace

std::string PlainTextOfBodies(const std::vector<std::string>& rtfBodies, int, char**) {
    return unavailable(rtfBodies);
}

std::string HtmlOfBodies(const std::vector<std::string>& rtfBodies, int, char**) {
    return unavailable(rtfBodies);
}

}  // namespace parcelo
