// The files one extraction run wrote: attachments, converted items and message bodies.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace parcelo {

// What kind of message body a file holds.
enum class BodyFormat {
    kNone,  // not a body: an attachment or a converted item
    kRtf,   // the decompressed RTF body (".rtf")
    kHtml,  // the HTML body as stored (".html")
    kText,  // the plain-text body in UTF-8 (".txt")
};

struct ExtractedFile {
    int isAttachment = 1;  // 0 for a message body, 1 for an attachment or converted item
    std::string path;      // as composed: the output directory followed by the file name
    int64_t size = 0;      // the size of the value the message holds; 0 for converted items
    BodyFormat bodyFormat = BodyFormat::kNone;
    // For an HTML body: the Windows code page its text is in when the HTML does not say.
    uint32_t codePage = 0;
    std::string contentId;  // an attachment's Content-ID, empty when it has none
    std::string mimeType;   // an attachment's MIME type, empty when it has none
    // The errno of the first failure to create or write the file; 0 when it was written or
    // the run writes no files.
    int writeError = 0;
};

// Paths are unique without regard to letter case, as on the file systems the streams are
// written for; walking the list visits the newest entry first.
class ExtractedFileList {
  public:
    using const_iterator = std::vector<ExtractedFile>::const_reverse_iterator;

    // Asked, when set, whether a path not in the list is taken all the same (by a file on
    // disk); such a path is passed over as one in the list is.
    std::function<bool(const std::string& path)> isTakenElsewhere;

    // Records a file. A path equal to one recorded already (letter case aside), or taken
    // elsewhere, is never used: the file is recorded under the first free name with "_2",
    // "_3", ... added to its file-name part. Returns the entry, valid until the next change
    // of the list.
    ExtractedFile& add(std::string path, int64_t size, int isAttachment);
    // Records the file recorded at `path` under the next free name, for when `path` was
    // found taken as the file was created; returns the new path.
    std::string renumber(const std::string& path);
    // Notes the first error met creating or writing the file recorded at `path`.
    void noteWriteError(const std::string& path, int error);

    const_iterator begin() const { return files_.rbegin(); }
    const_iterator end() const { return files_.rend(); }
    size_t size() const { return files_.size(); }
    bool empty() const { return files_.empty(); }
    const ExtractedFile& newest() const { return files_.back(); }
    void clear();

  private:
    bool isFree(const std::string& path, const std::string& folded) const;
    // The first free path for `requested`: itself, or a numbered one; `folded` gets its
    // folded form.
    std::string freePath(const std::string& requested, std::string& folded);

    std::vector<ExtractedFile> files_;         // in the order recorded
    std::vector<std::string> requestedPaths_;  // the path each file was asked for
    std::unordered_map<std::string, size_t> byFoldedPath_;
    // For each path asked for more than once, the number to try first for its next copy:
    // the ones below it are taken, so that many copies of one name cost no more than one.
    std::unordered_map<std::string, int> nextNumber_;
};

// A path with its letters in one case, for comparing paths as a case-insensitive file
// system does (Unicode letters included).
std::string FoldCase(const std::string& path);

}  // namespace parcelo
