#include "content_id.h"

#include "code_page.h"

namespace parcelo {

std::string FileNameInContentId(std::string_view contentId) {
    const std::string_view name = contentId.substr(0, contentId.find('@'));
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || dot + 1 == name.size() ||
        name.find('/') != std::string_view::npos)
        return {};
    return LoweredAscii(name);
}

std::string ContentIdFileKey(std::string_view path) {
    const size_t slash = path.rfind('/');
    return LoweredAscii(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace parcelo
