// Decompression of the message body's compressed RTF (PR_RTF_COMPRESSED).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace parcelo {

// The RTF text of a compressed-RTF value, exactly its declared raw size long (cut short,
// or padded with NUL when the data ends early); nothing when the value is damaged or of
// an unknown kind. Both the "LZFu" and the uncompressed "MELA" forms are read; the CRC is
// not checked.
std::optional<std::string> DecompressRtf(std::string_view value);

}  // namespace parcelo
