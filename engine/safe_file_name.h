// The one place where a file name made from message data is made safe to create.
#pragma once

#include <string>
#include <string_view>

namespace parcelo {

// The longest file-name part, in bytes, that Linux file systems take.
inline constexpr size_t kMaxFileNameBytes = 255;

// The file-name part of a path composed from message text (UTF-8): spaces become
// underscores, so do "/", "\" and control characters; a part that is empty, "." or ".."
// becomes "_", and one that would begin with "." (a hidden file) gets "_" before it; a part
// longer than 255 bytes ("_" included) is shortened at a character boundary, keeping its
// extension. The result never leaves the directory it is put in, and always shows.
std::string SafeFileName(std::string_view name);

// The same for a name made of message text followed by a fixed ending (a body's counter
// and extension): when the name is too long, only the text is shortened.
std::string SafeFileNameWithEnding(std::string_view text, std::string_view ending);

// A safe file-name part with "_<number>" put before its extension (from its last ".",
// unless that "." is its first character), or at its end when it has none; the part before
// the number is shortened so that the whole still fits in 255 bytes. A name that "_" made
// visible is numbered without it: "_.bashrc" gives "_.bashrc_2".
std::string NumberedFileName(std::string_view name, int number);

}  // namespace parcelo
