#include "extracted_file_list.h"

#include <locale.h>
#include <wctype.h>

namespace parcelo {

namespace {

// Decodes one UTF-8 sequence at `i`; invalid bytes stand for themselves.
uint32_t nextCodePoint(const std::string& s, size_t& i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = byte(i);
    int length = c < 0x80           ? 1
                 : (c >> 5) == 0x6  ? 2
                 : (c >> 4) == 0xE  ? 3
                 : (c >> 3) == 0x1E ? 4
                                    : 0;
    if (length <= 1 || i + length > s.size()) {
        ++i;
        return length == 1 ? c : 0xDC00 + c;  // a lone byte keeps its identity
    }
    uint32_t cp = c & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            ++i;
            return 0xDC00 + c;
        }
        cp = cp << 6 | (byte(i + k) & 0x3F);
    }
    i += length;
    return cp;
}

}  // namespace

std::string FoldCase(const std::string& path) {
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    std::string folded;
    folded.reserve(path.size());
    for (size_t i = 0; i < path.size();) {
        uint32_t cp = nextCodePoint(path, i);
        if (cp < 0x80) {
            if (cp >= 'A' && cp <= 'Z')
                cp += 'a' - 'A';
        } else if (utf8) {
            cp = static_cast<uint32_t>(towlower_l(static_cast<wint_t>(cp), utf8));
        }
        // Code points are appended as 4 raw bytes: the result is only compared.
        folded.append(reinterpret_cast<const char*>(&cp), sizeof cp);
    }
    return folded;
}

std::string ExtractedFileList::add(std::string path, int64_t size, int isAttachment) {
    auto [it, added] = byFoldedPath_.try_emplace(FoldCase(path), files_.size());
    if (added)
        files_.push_back({isAttachment, std::move(path), size});
    return files_[it->second].path;
}

void ExtractedFileList::clear() {
    files_.clear();
    byFoldedPath_.clear();
}

}  // namespace parcelo
