// The extracted-file list as parcelo-extract prints it.
#pragma once

#include <string>

#include "extracted_file_list.h"

namespace parcelo {

// One line per file, newest first: "attachment" or "body", a tab, the size, a tab, the path.
std::string ExtractedFilesAsText(const ExtractedFileList& files);

// A JSON array of {"path": string, "size": number, "attachment": bool}, newest first, with
// "content_id" and "mime_type" strings for the attachments that have them, and
// "written": false for each file that could not be written.
std::string ExtractedFilesAsJson(const ExtractedFileList& files);

}  // namespace parcelo
