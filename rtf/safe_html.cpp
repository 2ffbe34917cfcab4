#include "safe_html.h"

#include <algorithm>
#include <vector>

namespace parcelo {

namespace {

constexpr int kMaxTableNesting = 12;
// Qt re-sorts a list's items on every insertion; past this many items in a body, items
// become plain paragraphs so that a long list cannot stall the view.
constexpr int kMaxListItems = 2000;

struct Attribute {
    QStringView name;
    QStringView value;
    bool hasValue = false;
    QChar quote;
};

struct Tag {
    QStringView name;
    bool closing = false;
    bool selfClosing = false;
    std::vector<Attribute> attributes;
    qsizetype end = 0;  // just past the '>'
};

bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == u':' || c == u'-' || c == u'_';
}

// Parses the tag that starts with the '<' at `start`; false when the '<' starts no tag.
bool parseTag(QStringView html, qsizetype start, Tag& tag) {
    const qsizetype n = html.size();
    qsizetype i = start + 1;
    if (i < n && html[i] == u'/') {
        tag.closing = true;
        ++i;
    }
    if (i >= n || !html[i].isLetter())
        return false;
    const qsizetype nameStart = i;
    while (i < n && isNameChar(html[i]))
        ++i;
    tag.name = html.mid(nameStart, i - nameStart);
    for (;;) {
        while (i < n && html[i].isSpace())
            ++i;
        if (i >= n) {
            tag.end = n;
            return true;
        }
        if (html[i] == u'>') {
            tag.end = i + 1;
            return true;
        }
        if (html[i] == u'/') {
            ++i;
            if (i < n && html[i] == u'>')
                tag.selfClosing = true;
            continue;
        }
        Attribute attribute;
        const qsizetype attributeStart = i;
        while (i < n && !html[i].isSpace() && html[i] != u'=' && html[i] != u'>' && html[i] != u'/')
            ++i;
        if (i == attributeStart) {
            ++i;  // a stray '='
            continue;
        }
        attribute.name = html.mid(attributeStart, i - attributeStart);
        while (i < n && html[i].isSpace())
            ++i;
        if (i < n && html[i] == u'=') {
            ++i;
            while (i < n && html[i].isSpace())
                ++i;
            attribute.hasValue = true;
            if (i < n && (html[i] == u'"' || html[i] == u'\'')) {
                attribute.quote = html[i++];
                qsizetype close = html.indexOf(attribute.quote, i);
                if (close < 0)
                    close = n;
                attribute.value = html.mid(i, close - i);
                i = std::min(close + 1, n);
            } else {
                const qsizetype valueStart = i;
                while (i < n && !html[i].isSpace() && html[i] != u'>')
                    ++i;
                attribute.value = html.mid(valueStart, i - valueStart);
            }
        }
        tag.attributes.push_back(attribute);
    }
}

QString escapeText(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == u'<')
            out += u"&lt;";
        else if (c == u'>')
            out += u"&gt;";
        else
            out += c;
    }
    return out;
}

// Whether the at-rule whose keyword starts at `at` may load a style sheet. Qt's scanner takes
// more than the exact "@import" for an import (it reads "@x-import" as one), so any keyword
// naming import, or hiding its name in escapes, counts.
bool isImportRule(QStringView css, qsizetype at) {
    qsizetype end = at + 1;
    while (end < css.size() && (css[end].isLetterOrNumber() || css[end] == u'-' ||
                                css[end] == u'_' || css[end] == u'\\'))
        ++end;
    const QStringView keyword = css.mid(at + 1, end - at - 1);
    return keyword.contains(u"import", Qt::CaseInsensitive) || keyword.contains(u'\\');
}

// `css` with every url() replaced by "none" and every import rule removed.
QString neutralizeCss(QStringView css) {
    QString out;
    out.reserve(css.size());
    qsizetype i = 0;
    while (i < css.size()) {
        const qsizetype url = css.indexOf(u"url(", i, Qt::CaseInsensitive);
        qsizetype at = css.indexOf(u'@', i);
        while (at >= 0 && !isImportRule(css, at))
            at = css.indexOf(u'@', at + 1);
        if (url < 0 && at < 0) {
            out += css.mid(i);
            break;
        }
        if (at >= 0 && (url < 0 || at < url)) {
            out += css.mid(i, at - i);
            const qsizetype semicolon = css.indexOf(u';', at);
            i = semicolon < 0 ? css.size() : semicolon + 1;
            continue;
        }
        out += css.mid(i, url - i);
        out += u"none";
        qsizetype j = url + 4;
        while (j < css.size() && css[j].isSpace())
            ++j;
        if (j < css.size() && (css[j] == u'"' || css[j] == u'\'')) {
            const qsizetype close = css.indexOf(css[j], j + 1);
            j = close < 0 ? css.size() : close + 1;
        }
        const qsizetype paren = css.indexOf(u')', j);
        i = paren < 0 ? css.size() : paren + 1;
    }
    return out;
}

// The attribute's value as written, entities and all.
QStringView attributeValue(const Tag& tag, QStringView name) {
    for (const Attribute& attribute : tag.attributes)
        if (attribute.name.compare(name, Qt::CaseInsensitive) == 0)
            return attribute.value.trimmed();
    return {};
}

// Elements that fetch or run something and have nothing to show of their own.
bool isDropped(QStringView name) {
    static const QStringView kDropped[] = {u"link",   u"base",  u"meta",   u"object", u"embed",
                                           u"iframe", u"frame", u"applet", u"audio",  u"video",
                                           u"source", u"track", u"param",  u"input"};
    return std::any_of(std::begin(kDropped), std::end(kDropped),
                       [&](QStringView dropped) { return dropped == name; });
}

bool isTablePart(QStringView name) {
    static const QStringView kParts[] = {u"tr",    u"td",  u"th",       u"thead",  u"tbody",
                                         u"tfoot", u"col", u"colgroup", u"caption"};
    return std::any_of(std::begin(kParts), std::end(kParts),
                       [&](QStringView part) { return part == name; });
}

bool isOutsideReference(QStringView attribute, QStringView element) {
    if (attribute == u"background" || attribute == u"srcset" || attribute == u"lowsrc" ||
        attribute == u"dynsrc" || attribute == u"poster" || attribute.startsWith(u"on")) {
        return true;
    }
    return attribute == u"src" && element != u"img";
}

void appendTag(QString& out, const Tag& tag, QStringView element) {
    out += u'<';
    if (tag.closing)
        out += u'/';
    out += tag.name;
    for (const Attribute& attribute : tag.attributes) {
        const QString name = attribute.name.toString().toLower();
        if (isOutsideReference(name, element))
            continue;
        out += u' ';
        out += attribute.name;
        if (!attribute.hasValue)
            continue;
        const QString value =
            name == u"style" ? neutralizeCss(attribute.value) : attribute.value.toString();
        const QChar quote = attribute.quote.isNull() ? QChar(u'"') : attribute.quote;
        out += u'=';
        out += quote;
        out += attribute.quote.isNull() ? QString(value).replace(u'"', QStringLiteral("&quot;"))
                                        : value;
        out += quote;
    }
    if (tag.selfClosing)
        out += u" /";
    out += u'>';
}

// Index just past the end tag of `element` that follows `from`, and where that end tag starts.
std::pair<qsizetype, qsizetype> endTagOf(QStringView html, QStringView element, qsizetype from) {
    const QString endTag = QStringLiteral("</") + element.toString();
    const qsizetype start = html.indexOf(endTag, from, Qt::CaseInsensitive);
    if (start < 0)
        return {html.size(), html.size()};
    const qsizetype close = html.indexOf(u'>', start);
    return {start, close < 0 ? html.size() : close + 1};
}

}  // namespace

QString SanitizeHtml(QStringView html, const ImageSourceFilter& keepImage) {
    QString out;
    out.reserve(html.size());
    int tableDepth = 0;
    int listItems = 0;
    const qsizetype n = html.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype open = html.indexOf(u'<', i);
        if (open < 0) {
            out += html.mid(i);
            break;
        }
        out += html.mid(i, open - i);
        if (html.mid(open).startsWith(u"<!--")) {
            const qsizetype end = html.indexOf(u"-->", open + 4);
            i = end < 0 ? n : end + 3;
            continue;
        }
        if (open + 1 < n && (html[open + 1] == u'!' || html[open + 1] == u'?')) {
            const qsizetype end = html.indexOf(u'>', open);
            i = end < 0 ? n : end + 1;
            continue;
        }
        Tag tag;
        if (!parseTag(html, open, tag)) {
            out += u"&lt;";
            i = open + 1;
            continue;
        }
        i = tag.end;
        const QString element = tag.name.toString().toLower();

        if (!tag.closing && (element == u"style" || element == u"script")) {
            const auto [endStart, endStop] = endTagOf(html, element, i);
            if (element == u"style") {
                out += u"<style>";
                out += neutralizeCss(html.mid(i, endStart - i));
                out += u"</style>";
            }
            i = endStop;
            continue;
        }
        if (isDropped(element))
            continue;
        if (element == u"table") {
            const bool tooDeep =
                tag.closing ? tableDepth > kMaxTableNesting : ++tableDepth > kMaxTableNesting;
            if (tag.closing)
                tableDepth = std::max(tableDepth - 1, 0);
            if (tooDeep)
                continue;
        } else if (tableDepth > kMaxTableNesting && isTablePart(element)) {
            out += u' ';
            continue;
        }
        if (element == u"li" && (tag.closing || ++listItems > kMaxListItems) &&
            listItems > kMaxListItems) {
            out += tag.closing ? u"</p>" : u"<p>";
            continue;
        }
        if (element == u"img") {
            const QString source = attributeValue(tag, u"src")
                                       .toString()
                                       .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
            if (source.isEmpty() || !keepImage || !keepImage(source)) {
                const QStringView alt = attributeValue(tag, u"alt");
                if (!alt.isEmpty() && !alt.startsWith(u"cid:", Qt::CaseInsensitive))
                    out += u'[' + escapeText(alt) + u']';
                continue;
            }
        }
        appendTag(out, tag, element);
    }
    return out;
}

}  // namespace parcelo
