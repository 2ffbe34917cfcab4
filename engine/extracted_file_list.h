// The files one extraction run wrote: attachments, converted items and message bodies.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace parcelo {

struct ExtractedFile {
    int isAttachment = 1;  // 0 for a message body (RTF), 1 for an attachment or converted item
    std::string path;      // as composed: the output directory followed by the file name
    int64_t size = 0;      // the size of the value the message holds; 0 for converted items
};

// Paths are unique without regard to letter case, as on the file systems the streams are
// written for; walking the list visits the newest entry first.
class ExtractedFileList {
  public:
    using const_iterator = std::vector<ExtractedFile>::const_reverse_iterator;

    // Records a file unless a path equal to it but for letter case is recorded already;
    // either way, returns the path recorded, which is where the file is to be written.
    std::string add(std::string path, int64_t size, int isAttachment);

    const_iterator begin() const { return files_.rbegin(); }
    const_iterator end() const { return files_.rend(); }
    size_t size() const { return files_.size(); }
    bool empty() const { return files_.empty(); }
    const ExtractedFile& newest() const { return files_.back(); }
    void clear();

  private:
    std::vector<ExtractedFile> files_;  // in the order recorded
    std::unordered_map<std::string, size_t> byFoldedPath_;
};

// A path with its letters in one case, for comparing paths as a case-insensitive file
// system does (Unicode letters included).
std::string FoldCase(const std::string& path);

}  // namespace parcelo
