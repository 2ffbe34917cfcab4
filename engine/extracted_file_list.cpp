#include "extracted_file_list.h"

#include <locale.h>
#include <wctype.h>

#include "safe_file_name.h"

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

bool ExtractedFileList::isFree(const std::string& path, const std::string& folded) const {
    return !byFoldedPath_.contains(folded) && !(isTakenElsewhere && isTakenElsewhere(path));
}

std::string ExtractedFileList::freePath(const std::string& requested, std::string& folded) {
    const std::string requestedFolded = FoldCase(requested);
    if (isFree(requested, requestedFolded)) {
        folded = requestedFolded;
        return requested;
    }
    const size_t slash = requested.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::string directory = requested.substr(0, nameStart);
    const std::string name = requested.substr(nameStart);
    int& number = nextNumber_.try_emplace(requestedFolded, 2).first->second;
    for (;; ++number) {
        std::string candidate = directory + NumberedFileName(name, number);
        std::string candidateFolded = FoldCase(candidate);
        if (isFree(candidate, candidateFolded)) {
            folded = std::move(candidateFolded);
            ++number;
            return candidate;
        }
    }
}

ExtractedFile& ExtractedFileList::add(std::string path, int64_t size, int isAttachment) {
    std::string folded;
    std::string free = freePath(path, folded);
    byFoldedPath_.emplace(std::move(folded), files_.size());
    requestedPaths_.push_back(std::move(path));
    ExtractedFile& file = files_.emplace_back();
    file.isAttachment = isAttachment;
    file.path = std::move(free);
    file.size = size;
    return file;
}

std::string ExtractedFileList::renumber(const std::string& path) {
    const auto found = byFoldedPath_.find(FoldCase(path));
    if (found == byFoldedPath_.end())
        return path;
    const size_t index = found->second;
    // The old path stays taken in the list: something is there.
    std::string folded;
    std::string free = freePath(requestedPaths_[index], folded);
    byFoldedPath_.emplace(std::move(folded), index);
    files_[index].path = free;
    return free;
}

void ExtractedFileList::noteWriteError(const std::string& path, int error) {
    const auto found = byFoldedPath_.find(FoldCase(path));
    if (error != 0 && found != byFoldedPath_.end() && files_[found->second].writeError == 0)
        files_[found->second].writeError = error;
}

void ExtractedFileList::clear() {
    files_.clear();
    byFoldedPath_.clear();
    nextNumber_.clear();
    requestedPaths_.clear();
}

}  // namespace parcelo
