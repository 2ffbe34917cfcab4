// A message body of any form the extraction writes, put into the body view's document.
#pragma once

#include <cstdint>
#include <string_view>

#include "engine/extracted_file_list.h"
#include "body/rtf/rtf_reader.h"

class QTextDocument;

namespace parcelo {

// Appends a body at the end of `document`: RTF through the RTF reader, HTML (decoded by its
// byte-order mark, else its <meta> charset, else `codePage`) through the same cleaning as
// HTML that RTF encapsulates, plain text (UTF-8) as it stands. A body that follows another
// is set apart by a blank line. Images named by "cid:" come from `resolveCid` only.
void AppendMessageBody(QTextDocument& document, BodyFormat format, std::string_view content,
                       uint32_t codePage, const CidResolver& resolveCid = {});

}  // namespace parcelo
