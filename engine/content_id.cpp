#include "content_id.h"

#include <algorithm>
#include <cctype>

namespace parcelo {

namespace {

std::string lowered(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

}  // namespace

std::string FileNameInContentId(std::string_view contentId) {
    const std::string_view name = contentId.substr(0, contentId.find('@'));
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || dot + 1 == name.size() ||
        name.find('/') != std::string_view::npos)
        return {};
    return lowered(name);
}

std::string ContentIdFileKey(std::string_view path) {
    const size_t slash = path.rfind('/');
    return lowered(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace parcelo
