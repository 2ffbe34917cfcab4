#include "file_listing.h"

#include <cstdio>

namespace parcelo {

namespace {

void appendJsonString(std::string& out, const std::string& text) {
    out += '"';
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20 || u == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", u);
            out += escape;
        } else {
            out += c;
        }
    }
    out += '"';
}

}  // namespace

std::string ExtractedFilesAsText(const ExtractedFileList& files) {
    std::string out;
    for (const ExtractedFile& file : files) {
        out += file.isAttachment ? "attachment\t" : "body\t";
        out += std::to_string(file.size) + "\t" + file.path + "\n";
    }
    return out;
}

std::string ExtractedFilesAsJson(const ExtractedFileList& files) {
    std::string out = "[";
    bool first = true;
    for (const ExtractedFile& file : files) {
        out += first ? "\n  {\"path\": " : ",\n  {\"path\": ";
        first = false;
        appendJsonString(out, file.path);
        out += ", \"size\": " + std::to_string(file.size);
        out += file.isAttachment ? ", \"attachment\": true" : ", \"attachment\": false";
        if (!file.contentId.empty()) {
            out += ", \"content_id\": ";
            appendJsonString(out, file.contentId);
        }
        if (!file.mimeType.empty()) {
            out += ", \"mime_type\": ";
            appendJsonString(out, file.mimeType);
        }
        if (file.writeError != 0)
            out += ", \"written\": false";
        out += '}';
    }
    out += first ? "]\n" : "\n]\n";
    return out;
}

}  // namespace parcelo
