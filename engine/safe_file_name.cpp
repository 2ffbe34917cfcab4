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

// `stem` shortened so that `stem` + `ending` fits in `limit` bytes, followed by `ending`;
// when `ending` alone does not leave room, the whole is cut instead.
std::string fitted(std::string_view stem, std::string_view ending, size_t limit) {
    if (stem.size() + ending.size() <= limit)
        return std::string(stem) + std::string(ending);
    if (ending.size() < limit)
        return std::string(prefixAtBoundary(stem, limit - ending.size())) + std::string(ending);
    return std::string(prefixAtBoundary(std::string(stem) + std::string(ending), limit));
}

// A name beginning with "." would be hidden from `ls` and file managers: it is shown with
// this before it, and the rest of the name gets one byte less.
constexpr std::string_view kUnhidingPrefix = "_";

bool wouldBeHidden(std::string_view name) {
    return !name.empty() && name.front() == '.';
}

// `name` shortened to `limit` bytes, keeping its extension (from its last "." that is not
// its first character) when that leaves room.
std::string shortened(std::string_view name, size_t limit) {
    if (name.size() <= limit)
        return std::string(name);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0 && name.size() - dot < limit)
        return fitted(name.substr(0, dot), name.substr(dot), limit);
    return std::string(prefixAtBoundary(name, limit));
}

// `name` with "_<number>" before its extension, in at most `limit` bytes.
std::string numbered(std::string_view name, int number, size_t limit) {
    const std::string suffix = "_" + std::to_string(number);
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || name.size() - dot + suffix.size() >= limit)
        return fitted(name, suffix, limit);
    return fitted(name.substr(0, dot), suffix + std::string(name.substr(dot)), limit);
}

std::string withoutDotNames(std::string name) {
    if (name.empty() || name == "." || name == "..")
        return "_";
    return name;
}

}  // namespace

std::string SafeFileName(std::string_view name) {
    const std::string safe = withoutDotNames(replaceUnsafeCharacters(name));
    if (wouldBeHidden(safe))
        return std::string(kUnhidingPrefix) +
               shortened(safe, kMaxFileNameBytes - kUnhidingPrefix.size());
    return shortened(safe, kMaxFileNameBytes);
}

std::string SafeFileNameWithEnding(std::string_view text, std::string_view ending) {
    const std::string safeText = replaceUnsafeCharacters(text);
    const std::string safeEnding = replaceUnsafeCharacters(ending);
    const std::string whole = safeText + safeEnding;
    if (withoutDotNames(whole) != whole)
        return withoutDotNames(whole);
    if (wouldBeHidden(whole))
        return std::string(kUnhidingPrefix) +
               fitted(safeText, safeEnding, kMaxFileNameBytes - kUnhidingPrefix.size());
    return fitted(safeText, safeEnding, kMaxFileNameBytes);
}

std::string NumberedFileName(std::string_view name, int number) {
    // A name made visible is numbered as the name it was made from, so that ".bashrc" and
    // ".config.json" number as "_.bashrc_2" and "_.config_2.json".
    if (name.starts_with(kUnhidingPrefix) && wouldBeHidden(name.substr(kUnhidingPrefix.size()))) {
        return std::string(kUnhidingPrefix) + numbered(name.substr(kUnhidingPrefix.size()), number,
                                                       kMaxFileNameBytes - kUnhidingPrefix.size());
    }
    return numbered(name, number, kMaxFileNameBytes);
}

}  // namespace parcelo
