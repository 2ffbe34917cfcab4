// Text of the 8-bit runs in an RTF body: which code page a font's charset means, and the
// decoding of bytes in that code page (or in a symbol font) to UTF-16.
#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <map>
#include <string_view>

namespace parcelo {

// Fonts whose bytes are glyph numbers rather than characters of a code page.
enum class SymbolFont : uint8_t { None, Symbol, Wingdings };

// The Windows code page of an RTF \fcharset value. The ANSI charset (0) is Western, whatever
// the document's \ansicpg; the default charset (1) and unknown ones mean the \ansicpg.
uint32_t CodePageOfCharset(int charset, uint32_t ansiCodePage);

// Whether `byte` starts a two-byte character in a double-byte code page (932, 936, 949, 950
// or 1361); always false in other code pages.
bool IsLeadByte(uint32_t codePage, uint8_t byte);

// Which symbol font a font with \fcharset2 and this name is.
SymbolFont SymbolFontNamed(QStringView name);

// The Unicode character for a glyph of a symbol font. Word also writes these glyphs as
// private-use characters U+F020..U+F0FF, which this accepts as well.
char16_t SymbolFontChar(SymbolFont font, char16_t glyph);

class CodePageDecoder {
  public:
    // Appends `bytes`, read in `codePage`, to `out`.
    void append(std::string_view bytes, uint32_t codePage, QString& out);

  private:
    using Table = std::array<char16_t, 128>;
    const Table& tableFor(uint32_t codePage);

    std::map<uint32_t, Table> tables_;
};

}  // namespace parcelo
