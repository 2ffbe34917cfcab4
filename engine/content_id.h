// Content-IDs of inline pictures, as HTML bodies name them ("cid:image001.png@01D9A3B4.5C6D7E80").
#pragma once

#include <string>
#include <string_view>

namespace parcelo {

// The file name a Content-ID was made from, in lower case: Outlook names an inline picture's
// Content-ID after its file, and mail readers show the attachment of that name when no part
// carries the Content-ID itself (a forward or a gateway lost it). Empty when the part before
// the "@" is no file name (has no extension).
std::string FileNameInContentId(std::string_view contentId);

// A file name in lower case, as FileNameInContentId gives it: the last part of `path`.
std::string ContentIdFileKey(std::string_view path);

}  // namespace parcelo
