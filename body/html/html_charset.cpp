#include "body/html/html_charset.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "engine/code_page.h"

namespace parcelo {

namespace {

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

std::string_view MetaCharsetOf(std::string_view html) {
    const std::string_view head = html.substr(0, kPrescanBytes);
    const std::string lower = LoweredAscii(head);
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
