// Conversion of the 8-bit and UTF-16 text that messages carry into UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace parcelo {

inline constexpr uint32_t kDefaultCodePage = 1252;
inline constexpr uint32_t kUtf8CodePage = 65001;

// The text of `bytes` in Windows code page `codePage`, as UTF-8. Bytes that cannot be
// decoded become U+FFFD; an unknown code page is read as 1252. NUL bytes are kept.
std::string ConvertCodePageToUtf8(std::string_view bytes, uint32_t codePage);

// UTF-16LE text as UTF-8, up to its first U+0000 (or its end); an odd last byte is
// dropped and unpaired surrogates become U+FFFD.
std::string ConvertUtf16LeToUtf8(std::string_view bytes);

// The ANSI code page of a Windows locale identifier (an LCID such as 0x0419, Russian);
// kDefaultCodePage for the locales of western Europe and those not known.
uint32_t CodePageOfLocale(uint32_t localeId);

// UTF-16LE text (up to its first U+0000) in the 8 bits of `codePage`; nothing when a
// character has no form there or the code page is not known.
std::optional<std::string> ConvertUtf16LeToCodePage(std::string_view bytes, uint32_t codePage);

// The Windows code page of a charset label as HTML and MIME name it (WHATWG labels:
// "iso-8859-1" and "us-ascii" mean windows-1252, "gb2312" means GBK, ...); 0 for a label
// not known.
uint32_t CodePageOfCharsetLabel(std::string_view label);

// `text` with its ASCII letters in lower case; other bytes as they are.
std::string LoweredAscii(std::string_view text);

// The iconv name of a Windows code page, or an empty view when there is none.
std::string_view IconvNameOfCodePage(uint32_t codePage);

}  // namespace parcelo
