#include "html_charset.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "engine/code_page.h"

namespace parcelo {

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

std::string lowered(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

bool isLabelChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.' ||
           c == ':';
}

// A browser shows no NUL or other control character of a page; binary values often end in
// some, and damaged ones carry other bytes of the stream.
QString withoutControls(QString text) {
    text.removeIf([](QChar c) {
        return c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r' && c != u'\f';
    });
    return text;
}

// The bytes a browser looks at for a <meta> charset before it reads the page.
constexpr size_t kPrescanBytes = 4096;

}  // namespace

uint32_t CodePageOfCharsetLabel(std::string_view label) {
    const std::string key = lowered(label);
    for (const Label& known : kLabels) {
        if (known.name == key)
            return known.codePage;
    }
    return 0;
}

std::string_view MetaCharsetOf(std::string_view html) {
    const std::string_view head = html.substr(0, kPrescanBytes);
    const std::string lower = lowered(head);
    for (size_t meta = lower.find("<meta"); meta != std::string::npos;
         meta = lower.find("<meta", meta + 5)) {
        const size_t close = lower.find('>', meta);
        const size_t end = close == std::string::npos ? lower.size() : close;
        for (size_t at = lower.find("charset", meta); at != std::string::npos && at < end;
             at = lower.find("charset", at + 7)) {
            size_t i = at + 7;
            while (i < end && std::isspace(static_cast<unsigned char>(lower[i])))
                ++i;
            if (i >= end || lower[i] != '=')
                continue;
            ++i;
            while (i < end && (std::isspace(static_cast<unsigned char>(lower[i])) ||
                               lower[i] == '"' || lower[i] == '\''))
                ++i;
            const size_t start = i;
            while (i < end && isLabelChar(lower[i]))
                ++i;
            if (i > start)
                return head.substr(start, i - start);
        }
    }
    return {};
}

QString DecodeHtmlBody(std::string_view bytes, uint32_t fallbackCodePage) {
    const auto startsWith = [&](std::string_view mark) {
        return bytes.substr(0, mark.size()) == mark;
    };
    if (startsWith("\xEF\xBB\xBF")) {
        const std::string_view rest = bytes.substr(3);
        return withoutControls(QString::fromUtf8(rest.data(), static_cast<qsizetype>(rest.size())));
    }
    if (startsWith("\xFF\xFE") || startsWith("\xFE\xFF")) {
        const bool little = bytes[0] == '\xFF';
        QString text;
        text.reserve(static_cast<qsizetype>(bytes.size() / 2));
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            const auto a = static_cast<unsigned char>(bytes[i]);
            const auto b = static_cast<unsigned char>(bytes[i + 1]);
            text += QChar(static_cast<char16_t>(little ? (b << 8 | a) : (a << 8 | b)));
        }
        return withoutControls(text);
    }
    uint32_t codePage = CodePageOfCharsetLabel(MetaCharsetOf(bytes));
    if (codePage == 0)
        codePage = fallbackCodePage != 0 ? fallbackCodePage : kDefaultCodePage;
    const std::string utf8 =
        codePage == kUtf8CodePage ? std::string(bytes) : ConvertCodePageToUtf8(bytes, codePage);
    return withoutControls(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

}  // namespace parcelo
