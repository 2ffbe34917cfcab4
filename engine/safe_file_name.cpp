#include "safe_file_name.h"

namespace parcelo {

namespace {

bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The longest prefix of `text` of at most `limit` bytes that ends on a character boundary.
std::string_view prefixAtBoundary(std::string_view text, size_t limit) {
    if (text.size() <= limit)
        return text;
    size_t end = limit;
    while (end > 0 && isContinuationByte(text[end]))
        --end;
    return text.substr(0, end);
}

}  // namespace

std::string SafeFileName(std::string_view name) {
    std::string safe(name);
    for (char& c : safe) {
        const auto u = static_cast<unsigned char>(c);
        if (u == ' ' || u == '/' || u == '\\' || u < 0x20 || u == 0x7F)
            c = '_';
    }
    if (safe.empty() || safe == "." || safe == "..")
        return "_";
    if (safe.size() <= kMaxFileNameBytes)
        return safe;

    const size_t dot = safe.rfind('.');
    if (dot != std::string::npos && dot > 0 && safe.size() - dot < kMaxFileNameBytes) {
        const std::string extension = safe.substr(dot);
        const std::string_view stem = prefixAtBoundary(std::string_view(safe).substr(0, dot),
                                                       kMaxFileNameBytes - extension.size());
        return std::string(stem) + extension;
    }
    return std::string(prefixAtBoundary(safe, kMaxFileNameBytes));
}

}  // namespace parcelo
