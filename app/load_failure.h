// The message shown when a file cannot be loaded: the program's long-standing first line, and
// below it, when the system can tell why, the path and the system's reason.
#pragma once

#include <QString>

#include <string>

namespace parcelo {

// The errno that explains why `path` cannot be read as a file: ENOENT, EISDIR, EACCES and the
// like; 0 when it can be read, so that the cause lies in its content.
int WhyUnreadable(const std::string& path);

// The message for a failed load of `path`.
QString LoadFailureMessage(const std::string& path);

}  // namespace parcelo
