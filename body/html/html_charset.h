// The text of an HTML body stored as bytes, decoded as a browser decodes a page.
#pragma once

#include <QString>

#include <cstdint>
#include <string_view>

#include "engine/code_page.h"

namespace parcelo {

// The charset label an HTML document's <meta> names near its start, or an empty view.
std::string_view MetaCharsetOf(std::string_view html);

// `bytes` decoded by their byte-order mark, else by the charset their <meta> names, else in
// `fallbackCodePage`. Undecodable bytes become U+FFFD.
QString DecodeHtmlBody(std::string_view bytes, uint32_t fallbackCodePage);

}  // namespace parcelo
