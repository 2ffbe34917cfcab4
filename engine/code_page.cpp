#include "code_page.h"

#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <map>
#include <memory>
#include <mutex>

namespace parcelo {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

struct CodePageName {
    uint32_t codePage;
    std::string_view name;
};

// Windows code page identifiers and the names glibc's iconv knows them by.
constexpr CodePageName kCodePageNames[] = {
    {437, "CP437"},         {737, "CP737"},         {775, "CP775"},         {850, "CP850"},
    {852, "CP852"},         {855, "CP855"},         {857, "CP857"},         {860, "CP860"},
    {861, "CP861"},         {862, "CP862"},         {863, "CP863"},         {864, "CP864"},
    {865, "CP865"},         {866, "CP866"},         {869, "CP869"},         {874, "CP874"},
    {932, "CP932"},         {936, "CP936"},         {949, "CP949"},         {950, "BIG5-HKSCS"},
    {1250, "CP1250"},       {1251, "CP1251"},       {1252, "CP1252"},       {1253, "CP1253"},
    {1254, "CP1254"},       {1255, "CP1255"},       {1256, "CP1256"},       {1257, "CP1257"},
    {1258, "CP1258"},       {1361, "JOHAB"},        {10000, "MACINTOSH"},   {10007, "MAC-CYRILLIC"},
    {20127, "ASCII"},       {20866, "KOI8-R"},      {20932, "EUC-JP"},      {21866, "KOI8-U"},
    {28591, "ISO-8859-1"},  {28592, "ISO-8859-2"},  {28593, "ISO-8859-3"},  {28594, "ISO-8859-4"},
    {28595, "ISO-8859-5"},  {28596, "ISO-8859-6"},  {28597, "ISO-8859-7"},  {28598, "ISO-8859-8"},
    {28599, "ISO-8859-9"},  {28603, "ISO-8859-13"}, {28605, "ISO-8859-15"}, {38598, "ISO-8859-8"},
    {50220, "ISO-2022-JP"}, {50221, "ISO-2022-JP"}, {50222, "ISO-2022-JP"}, {50225, "ISO-2022-KR"},
    {51932, "EUC-JP"},      {51936, "GB2312"},      {51949, "EUC-KR"},      {52936, "HZ"},
    {54936, "GB18030"},     {65000, "UTF-7"},       {65001, "UTF-8"},
};

// iconv descriptors are costly to open and the engine converts many short strings, so one
// descriptor per code page is kept for the life of the process.
class ConverterCache {
  public:
    iconv_t get(std::string_view name) {
        std::lock_guard lock(mutex_);
        auto it = converters_.find(std::string(name));
        if (it != converters_.end())
            return it->second;
        iconv_t cd = iconv_open("UTF-8", std::string(name).c_str());
        converters_.emplace(std::string(name), cd);
        return cd;
    }
    std::mutex& mutex() { return mutex_; }

  private:
    std::mutex mutex_;
    std::map<std::string, iconv_t> converters_;
};

ConverterCache& converters() {
    static ConverterCache* cache = new ConverterCache;  // never destroyed: used until exit
    return *cache;
}

bool isAscii(std::string_view bytes) {
    for (unsigned char c : bytes)
        if (c >= 0x80)
            return false;
    return true;
}

std::string convertWith(iconv_t cd, std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2 + 4);
    char buffer[4096];
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, outPtr - buffer);
        if (rc != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG)
            continue;
        // An undecodable or incomplete sequence: one replacement character per bad byte.
        out.append(kReplacement);
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    // Flush a stateful encoding (ISO-2022-JP and the like) back to its initial state.
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, outPtr - buffer);
    return out;
}

void appendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | cp >> 6);
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | cp >> 12);
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | cp >> 18);
        out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

struct LocaleCodePage {
    uint16_t language;  // a primary language (the LCID's low 10 bits), or a whole LCID
    uint32_t codePage;
};

// Whole locale identifiers whose code page differs from their language's.
constexpr LocaleCodePage kLocaleCodePages[] = {
    {0x0404, 950},  {0x0C04, 950},  {0x1404, 950},   // Chinese: Taiwan, Hong Kong, Macao
    {0x0C1A, 1251}, {0x1C1A, 1251}, {0x201A, 1251},  // Serbian and Bosnian in Cyrillic
    {0x0843, 1251}, {0x082C, 1251},                  // Uzbek and Azeri in Cyrillic
};

constexpr LocaleCodePage kLanguageCodePages[] = {
    {0x01, 1256}, {0x02, 1251}, {0x04, 936},  {0x05, 1250}, {0x08, 1253}, {0x0D, 1255},
    {0x0E, 1250}, {0x11, 932},  {0x12, 949},  {0x15, 1250}, {0x18, 1250}, {0x19, 1251},
    {0x1A, 1250}, {0x1B, 1250}, {0x1C, 1250}, {0x1E, 874},  {0x1F, 1254}, {0x20, 1256},
    {0x22, 1251}, {0x23, 1251}, {0x24, 1250}, {0x25, 1257}, {0x26, 1257}, {0x27, 1257},
    {0x29, 1256}, {0x2A, 1258}, {0x2C, 1254}, {0x2F, 1251}, {0x3F, 1251}, {0x40, 1251},
    {0x43, 1254}, {0x44, 1251}, {0x50, 1251},
};

}  // namespace

uint32_t CodePageOfLocale(uint32_t localeId) {
    for (const LocaleCodePage& entry : kLocaleCodePages)
        if (entry.language == (localeId & 0xFFFF))
            return entry.codePage;
    for (const LocaleCodePage& entry : kLanguageCodePages)
        if (entry.language == (localeId & 0x3FF))
            return entry.codePage;
    return kDefaultCodePage;
}

std::optional<std::string> ConvertUtf16LeToCodePage(std::string_view bytes, uint32_t codePage) {
    const std::string_view name = IconvNameOfCodePage(codePage);
    if (name.empty())
        return std::nullopt;
    const std::string utf8 = ConvertUtf16LeToUtf8(bytes);
    if (codePage == kUtf8CodePage || isAscii(utf8))
        return utf8;
    // Rare (one subject per message), so a descriptor of its own rather than the cache's.
    iconv_t cd = iconv_open(std::string(name).c_str(), "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string out(utf8.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    const bool whole = iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1) &&
                       iconv(cd, nullptr, nullptr, &outPtr, &outLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    if (!whole)
        return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

namespace {

struct Label {
    std::string_view name;
    uint32_t codePage;
};

// The labels mail is seen with, after the WHATWG Encoding Standard's table.
constexpr Label kLabels[] = {
    {"utf-8", 65001},
    {"utf8", 65001},
    {"unicode-1-1-utf-8", 65001},
    // A <meta> cannot declare UTF-16 for bytes that were readable as ASCII to find it.
    {"utf-16", 65001},
    {"utf-16le", 65001},
    {"utf-16be", 65001},
    {"us-ascii", 1252},
    {"ascii", 1252},
    {"iso-8859-1", 1252},
    {"iso8859-1", 1252},
    {"latin1", 1252},
    {"l1", 1252},
    {"cp1252", 1252},
    {"windows-1252", 1252},
    {"x-cp1252", 1252},
    {"iso-8859-2", 28592},
    {"latin2", 28592},
    {"iso-8859-3", 28593},
    {"iso-8859-4", 28594},
    {"iso-8859-5", 28595},
    {"iso-8859-6", 28596},
    {"iso-8859-7", 28597},
    {"iso-8859-8", 28598},
    {"iso-8859-8-i", 28598},
    {"visual", 28598},
    {"logical", 28598},
    {"iso-8859-9", 1254},
    {"latin5", 1254},
    {"iso-8859-13", 28603},
    {"iso-8859-15", 28605},
    {"latin9", 28605},
    {"koi8-r", 20866},
    {"koi8-u", 21866},
    {"windows-1250", 1250},
    {"windows-1251", 1251},
    {"windows-1253", 1253},
    {"windows-1254", 1254},
    {"windows-1255", 1255},
    {"windows-1256", 1256},
    {"windows-1257", 1257},
    {"windows-1258", 1258},
    {"cp1250", 1250},
    {"cp1251", 1251},
    {"windows-874", 874},
    {"tis-620", 874},
    {"iso-8859-11", 874},
    {"shift_jis", 932},
    {"shift-jis", 932},
    {"sjis", 932},
    {"x-sjis", 932},
    {"windows-31j", 932},
    {"ms932", 932},
    {"euc-jp", 20932},
    {"iso-2022-jp", 50220},
    {"gb2312", 936},
    {"gbk", 936},
    {"x-gbk", 936},
    {"cp936", 936},
    {"gb18030", 54936},
    {"big5", 950},
    {"big5-hkscs", 950},
    {"cn-big5", 950},
    {"euc-kr", 949},
    {"ks_c_5601-1987", 949},
    {"windows-949", 949},
    {"ibm866", 866},
    {"cp866", 866},
    {"macintosh", 10000},
    {"x-mac-cyrillic", 10007},
};

}  // namespace

uint32_t CodePageOfCharsetLabel(std::string_view label) {
    const std::string key = LoweredAscii(label);
    for (const Label& known : kLabels) {
        if (known.name == key)
            return known.codePage;
    }
    return 0;
}

std::string_view IconvNameOfCodePage(uint32_t codePage) {
    for (const CodePageName& entry : kCodePageNames)
        if (entry.codePage == codePage)
            return entry.name;
    return {};
}

std::string ConvertCodePageToUtf8(std::string_view bytes, uint32_t codePage) {
    std::string_view name = IconvNameOfCodePage(codePage);
    // Plain ASCII reads the same in every code page the engine meets except the 7-bit
    // stateful ones, which begin their escapes with ASCII bytes.
    if (isAscii(bytes) && codePage != 65000 && codePage != 52936 && codePage < 50220) {
        return std::string(bytes);
    }
    ConverterCache& cache = converters();
    iconv_t cd = name.empty() ? reinterpret_cast<iconv_t>(-1) : cache.get(name);
    if (cd == reinterpret_cast<iconv_t>(-1))
        cd = cache.get("CP1252");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::string(bytes);
    std::lock_guard lock(cache.mutex());
    return convertWith(cd, bytes);
}

std::string ConvertUtf16LeToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    const size_t units = bytes.size() / 2;
    auto unitAt = [&](size_t i) {
        return static_cast<uint16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    };
    for (size_t i = 0; i < units; ++i) {
        const uint16_t u = unitAt(i);
        if (u == 0)
            break;
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
            const uint16_t low = unitAt(i + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((u - 0xD800u) << 10) + (low - 0xDC00u));
                ++i;
                continue;
            }
        }
        if (u >= 0xD800 && u <= 0xDFFF) {
            out.append(kReplacement);
            continue;
        }
        appendUtf8(out, u);
    }
    return out;
}

std::string LoweredAscii(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

}  // namespace parcelo
