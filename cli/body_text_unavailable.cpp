// Built without Qt: no RTF reader, so no body text.
#include <cstdio>

#include "body_text.h"

namespace parcelo {

namespace {

std::string unavailable(const std::vector<MessageBody>& bodies) {
    if (!bodies.empty())
        std::fputs("parcelo-extract: built without the RTF reader\n", stderr);
    return {};
}

}  // namespace

std::string PlainTextOfBodies(const std::vector<MessageBody>& bodies, const ImagesByContentId&, int,
                              char**) {
    return unavailable(bodies);
}

std::string HtmlOfBodies(const std::vector<MessageBody>& bodies, const ImagesByContentId&, int,
                         char**) {
    return unavailable(bodies);
}

}  // namespace parcelo
