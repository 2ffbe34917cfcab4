// The one place where a file name made from message data is made safe to create.
#pragma once

#include <string>
#include <string_view>

namespace parcelo {

// The longest file-name part, in bytes, that Linux file systems take.
inline constexpr size_t kMaxFileNameBytes = 255;

// The file-name part of a path composed from message text (UTF-8): spaces become
// underscores, so do "/", "\" and control characters; a part that is empty, "." or ".."
// becomes "_"; a part longer than 255 bytes is shortened at a character boundary,
// keeping its extension. The result never leaves the directory it is put in.
std::string SafeFileName(std::string_view name);

}  // namespace parcelo
