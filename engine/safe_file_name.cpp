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

// `name` with every character that could leave a directory, or that the shell and file
// managers show badly, replaced by "_".
std::string replaceUnsafeCharacters(std::string_view name) {
    std::string safe(name);
    for (char& c : safe) {
        const auto u = static_cast<unsigned char>(c);
        if (u == ' ' || u == '/' || u == '\\' || u < 0x20 || u == 0x7F)
            c = '_';
    }
    return safe;
}

// `stem` shortened so that `stem` + `ending` fits, followed by `ending`; when `ending`
// alone does not leave room, the whole is cut instead.
std::string fitted(std::string_view stem, std::string_view ending) {
    if (stem.size() + ending.size() <= kMaxFileNameBytes)
        return std::string(stem) + std::string(ending);
    if (ending.size() < kMaxFileNameBytes)
        return std::string(prefixAtBoundary(stem, kMaxFileNameBytes - ending.size())) +
               std::string(ending);
    return std::string(
        prefixAtBoundary(std::string(stem) + std::string(ending), kMaxFileNameBytes));
}

std::string withoutDotNames(std::string name) {
    if (name.empty() || name == "." || name == "..")
        return "_";
    return name;
}

}  // namespace

std::string SafeFileName(std::string_view name) {
    const std::string safe = withoutDotNames(replaceUnsafeCharacters(name));
    if (safe.size() <= kMaxFileNameBytes)
        return safe;
    const size_t dot = safe.rfind('.');
    if (dot != std::string::npos && dot > 0 && safe.size() - dot < kMaxFileNameBytes) {
        return fitted(std::string_view(safe).substr(0, dot), std::string_view(safe).substr(dot));
    }
    return std::string(prefixAtBoundary(safe, kMaxFileNameBytes));
}

std::string SafeFileNameWithEnding(std::string_view text, std::string_view ending) {
    return withoutDotNames(fitted(replaceUnsafeCharacters(text), replaceUnsafeCharacters(ending)));
}

std::string NumberedFileName(std::string_view name, int number) {
    const std::string suffix = "_" + std::to_string(number);
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0 ||
        name.size() - dot + suffix.size() >= kMaxFileNameBytes) {
        return fitted(name, suffix);
    }
    return fitted(name.substr(0, dot), suffix + std::string(name.substr(dot)));
}

}  // namespace parcelo
