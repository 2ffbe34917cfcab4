// Writing a file so that it is either replaced whole or left as it was: the new content goes
// to a temporary file beside it, which then takes its name.
#pragma once

#include <string>
#include <string_view>

#include "file_error_message.h"

namespace parcelo {

struct FileResult {
    int errorNumber = 0;  // errno of the failure; 0 on success
    std::string path;     // the file that failed
    FileAccess access = FileAccess::Writing;
    bool ok() const { return errorNumber == 0; }
};

// Replaces the file at `path` (or creates it) with `bytes`. A symbolic link is followed, an
// existing file keeps its permissions, and a file the user may not write is refused even when
// its folder is writable. When the folder does not take new files but the file itself is
// writable, the file is rewritten in place.
FileResult WriteFileReplacing(const std::string& path, std::string_view bytes);

// The same with the content of the file at `source`.
FileResult CopyFileReplacing(const std::string& source, const std::string& target);

}  // namespace parcelo
