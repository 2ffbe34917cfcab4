#include "body/rtf/code_page_text.h"

#include "engine/code_page.h"

#include <algorithm>

namespace parcelo {

namespace {

struct CharsetCodePage {
    int charset;
    uint32_t codePage;
};

constexpr CharsetCodePage kCharsetCodePages[] = {
    {0, 1252},   {77, 10000}, {128, 932},  {129, 949},  {130, 1361}, {134, 936},
    {136, 950},  {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256},
    {186, 1257}, {204, 1251}, {222, 874},  {238, 1250}, {254, 437},  {255, 850},
};

// Code pages where one character may take several bytes; they cannot be decoded a byte at a
// time.
bool isMultiByte(uint32_t codePage) {
    switch (codePage) {
        case 932:
        case 936:
        case 949:
        case 950:
        case 1361:
        case 20932:
        case 51932:
        case 51936:
        case 51949:
        case 54936:
        case 65000:
        case 65001:
            return true;
        default:
            return codePage >= 50220 && codePage <= 52936;
    }
}

// The Symbol font's glyphs that differ from their Latin-1 code points: Greek letters,
// mathematical operators, arrows and card suits.
constexpr std::pair<uint8_t, char16_t> kSymbolGlyphs[] = {
    {0x22, 0x2200}, {0x24, 0x2203}, {0x27, 0x220B}, {0x2A, 0x2217}, {0x2D, 0x2212}, {0x40, 0x2245},
    {0x41, 0x0391}, {0x42, 0x0392}, {0x43, 0x03A7}, {0x44, 0x0394}, {0x45, 0x0395}, {0x46, 0x03A6},
    {0x47, 0x0393}, {0x48, 0x0397}, {0x49, 0x0399}, {0x4A, 0x03D1}, {0x4B, 0x039A}, {0x4C, 0x039B},
    {0x4D, 0x039C}, {0x4E, 0x039D}, {0x4F, 0x039F}, {0x50, 0x03A0}, {0x51, 0x0398}, {0x52, 0x03A1},
    {0x53, 0x03A3}, {0x54, 0x03A4}, {0x55, 0x03A5}, {0x56, 0x03C2}, {0x57, 0x03A9}, {0x58, 0x039E},
    {0x59, 0x03A8}, {0x5A, 0x0396}, {0x5C, 0x2234}, {0x5E, 0x22A5}, {0x61, 0x03B1}, {0x62, 0x03B2},
    {0x63, 0x03C7}, {0x64, 0x03B4}, {0x65, 0x03B5}, {0x66, 0x03C6}, {0x67, 0x03B3}, {0x68, 0x03B7},
    {0x69, 0x03B9}, {0x6A, 0x03D5}, {0x6B, 0x03BA}, {0x6C, 0x03BB}, {0x6D, 0x03BC}, {0x6E, 0x03BD},
    {0x6F, 0x03BF}, {0x70, 0x03C0}, {0x71, 0x03B8}, {0x72, 0x03C1}, {0x73, 0x03C3}, {0x74, 0x03C4},
    {0x75, 0x03C5}, {0x76, 0x03D6}, {0x77, 0x03C9}, {0x78, 0x03BE}, {0x79, 0x03C8}, {0x7A, 0x03B6},
    {0xA1, 0x03D2}, {0xA2, 0x2032}, {0xA3, 0x2264}, {0xA4, 0x2044}, {0xA5, 0x221E}, {0xA6, 0x0192},
    {0xA7, 0x2663}, {0xA8, 0x2666}, {0xA9, 0x2665}, {0xAA, 0x2660}, {0xAB, 0x2194}, {0xAC, 0x2190},
    {0xAD, 0x2191}, {0xAE, 0x2192}, {0xAF, 0x2193}, {0xB2, 0x2033}, {0xB3, 0x2265}, {0xB4, 0x00D7},
    {0xB5, 0x221D}, {0xB6, 0x2202}, {0xB7, 0x2022}, {0xB8, 0x00F7}, {0xB9, 0x2260}, {0xBA, 0x2261},
    {0xBB, 0x2248}, {0xBC, 0x2026}, {0xC0, 0x2135}, {0xC1, 0x2111}, {0xC2, 0x211C}, {0xC3, 0x2118},
    {0xC4, 0x2297}, {0xC5, 0x2295}, {0xC6, 0x2205}, {0xC7, 0x2229}, {0xC8, 0x222A}, {0xC9, 0x2283},
    {0xCA, 0x2287}, {0xCB, 0x2284}, {0xCC, 0x2282}, {0xCD, 0x2286}, {0xCE, 0x2208}, {0xCF, 0x2209},
    {0xD0, 0x2220}, {0xD1, 0x2207}, {0xD2, 0x00AE}, {0xD3, 0x00A9}, {0xD4, 0x2122}, {0xD5, 0x220F},
    {0xD6, 0x221A}, {0xD7, 0x22C5}, {0xD8, 0x00AC}, {0xD9, 0x2227}, {0xDA, 0x2228}, {0xDB, 0x21D4},
    {0xDC, 0x21D0}, {0xDD, 0x21D1}, {0xDE, 0x21D2}, {0xDF, 0x21D3}, {0xE0, 0x25CA}, {0xE1, 0x2329},
    {0xE2, 0x00AE}, {0xE3, 0x00A9}, {0xE4, 0x2122}, {0xE5, 0x2211}, {0xF1, 0x232A}, {0xF2, 0x222B},
};

// The Wingdings glyphs that mail bodies use, mostly as list bullets.
constexpr std::pair<uint8_t, char16_t> kWingdingsGlyphs[] = {
    {0x4A, 0x263A}, {0x6C, 0x25CF}, {0x6E, 0x25A0}, {0x6F, 0x25A1}, {0x71, 0x2751}, {0x75, 0x25C6},
    {0x76, 0x2756}, {0x9F, 0x2022}, {0xA7, 0x25AA}, {0xA8, 0x25FB}, {0xD8, 0x27A2}, {0xE0, 0x2192},
    {0xE8, 0x2794}, {0xF0, 0x21E8}, {0xFB, 0x2717}, {0xFC, 0x2713}, {0xFE, 0x2611},
};

template <size_t N>
char16_t lookUp(const std::pair<uint8_t, char16_t> (&table)[N], uint8_t glyph, char16_t missing) {
    const auto it = std::lower_bound(std::begin(table), std::end(table), glyph,
                                     [](const auto& entry, uint8_t g) { return entry.first < g; });
    return it != std::end(table) && it->first == glyph ? it->second : missing;
}

}  // namespace

uint32_t CodePageOfCharset(int charset, uint32_t ansiCodePage) {
    for (const CharsetCodePage& entry : kCharsetCodePages)
        if (entry.charset == charset)
            return entry.codePage;
    return ansiCodePage;
}

bool IsLeadByte(uint32_t codePage, uint8_t byte) {
    switch (codePage) {
        case 932:
            return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
        case 936:
        case 949:
        case 950:
            return byte >= 0x81 && byte <= 0xFE;
        case 1361:
            return (byte >= 0x84 && byte <= 0xD3) || (byte >= 0xD8 && byte <= 0xDE) ||
                   (byte >= 0xE0 && byte <= 0xF9);
        default:
            return false;
    }
}

SymbolFont SymbolFontNamed(QStringView name) {
    if (name.contains(u"Wingdings", Qt::CaseInsensitive) ||
        name.contains(u"Webdings", Qt::CaseInsensitive)) {
        return SymbolFont::Wingdings;
    }
    return SymbolFont::Symbol;
}

char16_t SymbolFontChar(SymbolFont font, char16_t glyph) {
    if (glyph >= 0xF020 && glyph <= 0xF0FF)
        glyph -= 0xF000;
    if (glyph > 0xFF)
        return glyph;
    const auto byte = static_cast<uint8_t>(glyph);
    switch (font) {
        case SymbolFont::Symbol:
            return lookUp(kSymbolGlyphs, byte, glyph);
        case SymbolFont::Wingdings:
            // Unknown Wingdings glyphs have no Unicode counterpart; a private-use character
            // still shows in the Wingdings font where one is installed.
            return byte < 0x20 ? glyph : lookUp(kWingdingsGlyphs, byte, char16_t(0xF000 + byte));
        case SymbolFont::None:
            break;
    }
    return glyph;
}

void CodePageDecoder::append(std::string_view bytes, uint32_t codePage, QString& out) {
    if (isMultiByte(codePage)) {
        out += QString::fromStdString(ConvertCodePageToUtf8(bytes, codePage));
        return;
    }
    const Table& table = tableFor(codePage);
    const qsizetype start = out.size();
    out.resize(start + static_cast<qsizetype>(bytes.size()));
    QChar* dest = out.data() + start;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *dest++ = QChar(byte < 0x80 ? char16_t(byte) : table[byte - 0x80]);
    }
}

const CodePageDecoder::Table& CodePageDecoder::tableFor(uint32_t codePage) {
    auto it = tables_.find(codePage);
    if (it != tables_.end())
        return it->second;
    Table table;
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        const char c = static_cast<char>(byte);
        const QString decoded =
            QString::fromStdString(ConvertCodePageToUtf8(std::string_view(&c, 1), codePage));
        table[byte - 0x80] = decoded.size() == 1 ? decoded[0].unicode() : char16_t(0xFFFD);
    }
    return tables_.emplace(codePage, table).first->second;
}

}  // namespace parcelo
