#include "body/html/safe_html.h"

#include "body/html/block_borders.h"
#include "body/html/css_declarations.h"
#include "body/html/style_sheet.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
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

// `text` with the character references that matter inside CSS replaced; the others stay as
// written.
QString decodeEntities(QStringView text) {
    if (!text.contains(u'&'))
        return text.toString();
    static const struct {
        QStringView name;
        QChar c;
    } kNamed[] = {{u"quot", u'"'}, {u"apos", u'\''}, {u"amp", u'&'},
                  {u"lt", u'<'},   {u"gt", u'>'},    {u"nbsp", QChar(0xa0)}};
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype semicolon = text[i] == u'&' ? text.indexOf(u';', i + 1) : qsizetype(-1);
        if (semicolon < 0 || semicolon - i > 10) {
            out += text[i];
            continue;
        }
        const QStringView name = text.mid(i + 1, semicolon - i - 1);
        char32_t code = 0;
        if (name.startsWith(u'#')) {
            bool ok = false;
            const bool hex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
            code = name.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
            if (!ok || code == 0 || code > 0x10ffff)
                code = 0;
        } else {
            for (const auto& named : kNamed)
                if (named.name == name)
                    code = named.c.unicode();
        }
        if (code == 0) {
            out += text[i];
            continue;
        }
        out += QString::fromUcs4(&code, 1);
        i = semicolon;
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

bool hasAttribute(const Tag& tag, QStringView name) {
    return std::any_of(tag.attributes.begin(), tag.attributes.end(), [&](const Attribute& a) {
        return a.name.compare(name, Qt::CaseInsensitive) == 0;
    });
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
    const auto is = [&](QStringView name) {
        return attribute.compare(name, Qt::CaseInsensitive) == 0;
    };
    if (is(u"background") || is(u"srcset") || is(u"lowsrc") || is(u"dynsrc") || is(u"poster") ||
        attribute.startsWith(u"on", Qt::CaseInsensitive)) {
        return true;
    }
    return is(u"src") && element != u"img";
}

bool isVoid(QStringView name) {
    static const QStringView kVoid[] = {u"area",  u"base",   u"br",    u"col",  u"embed",
                                        u"hr",    u"img",    u"input", u"link", u"meta",
                                        u"param", u"source", u"track", u"wbr"};
    return std::any_of(std::begin(kVoid), std::end(kVoid),
                       [&](QStringView v) { return v == name; });
}

bool closesParagraph(QStringView name) {
    static const QStringView kBlocks[] = {u"p",  u"div", u"table", u"ul", u"ol",
                                          u"dl", u"pre", u"h1",    u"h2", u"h3",
                                          u"h4", u"h5",  u"h6",    u"hr", u"blockquote"};
    return std::any_of(std::begin(kBlocks), std::end(kBlocks),
                       [&](QStringView b) { return b == name; });
}

// The open elements, for selectors that look at ancestors. End tags that HTML lets a writer
// leave out are supplied where a browser would supply them; an end tag without its start
// tag is ignored.
class OpenElements {
  public:
    const std::vector<CssElement>& path() const { return path_; }

    void open(CssElement element) {
        const QString& name = element.name;
        if (closesParagraph(name) && !path_.empty() && path_.back().name == u"p")
            path_.pop_back();
        if (name == u"li")
            closeWithin(u"li", {u"ul", u"ol"});
        else if (name == u"tr")
            closeWithin(u"tr", {u"table"});
        else if (name == u"td" || name == u"th")
            closeCell();
        path_.push_back(std::move(element));
    }

    void popVoid() { path_.pop_back(); }

    void close(QStringView name) {
        for (qsizetype i = static_cast<qsizetype>(path_.size()) - 1; i >= 0; --i) {
            if (path_[i].name == name) {
                path_.resize(i);
                return;
            }
        }
    }

    bool full() const { return path_.size() >= kMaxDepth; }

  private:
    static constexpr size_t kMaxDepth = 256;

    void closeWithin(QStringView name, std::initializer_list<QStringView> scope) {
        for (qsizetype i = static_cast<qsizetype>(path_.size()) - 1; i >= 0; --i) {
            if (path_[i].name == name) {
                path_.resize(i);
                return;
            }
            if (std::find(scope.begin(), scope.end(), path_[i].name) != scope.end())
                return;
        }
    }

    void closeCell() {
        for (qsizetype i = static_cast<qsizetype>(path_.size()) - 1; i >= 0; --i) {
            if (path_[i].name == u"td" || path_[i].name == u"th") {
                path_.resize(i);
                return;
            }
            if (path_[i].name == u"tr" || path_[i].name == u"table")
                return;
        }
    }

    std::vector<CssElement> path_;
};

CssElement cssElementOf(const Tag& tag, const QString& element) {
    CssElement css;
    css.name = element;
    css.id = attributeValue(tag, u"id").toString().toLower();
    css.classes = attributeValue(tag, u"class")
                      .toString()
                      .toLower()
                      .simplified()
                      .split(u' ', Qt::SkipEmptyParts);
    css.isLink = element == u"a" && hasAttribute(tag, u"href");
    return css;
}

// The style attribute (with its leading space) that gives an element the declarations
// `text`, or nothing for no declarations.
QString styleAttribute(const QString& text) {
    if (text.isEmpty())
        return {};
    // Font names are quoted in double quotes: single quotes around them spare Qt decoding an
    // entity for each.
    const QChar quote = text.contains(u'"') && !text.contains(u'\'') ? u'\'' : u'"';
    QString value = text;
    value.replace(u'&', QStringLiteral("&amp;")).replace(u'<', QStringLiteral("&lt;"));
    if (quote == u'"')
        value.replace(u'"', QStringLiteral("&quot;"));
    return QStringLiteral(" style=") + quote + value + quote;
}

// Writes the tag with `style` (a style attribute or nothing) in place of its own style
// attribute and without the attributes that `drop` names.
void appendTag(QString& out, const Tag& tag, QStringView element, QStringView style,
               std::initializer_list<QStringView> drop = {}) {
    out += u'<';
    if (tag.closing)
        out += u'/';
    out += tag.name;
    for (const Attribute& attribute : tag.attributes) {
        const QStringView name = attribute.name;
        const auto is = [&](QStringView other) {
            return name.compare(other, Qt::CaseInsensitive) == 0;
        };
        if (isOutsideReference(name, element) || is(u"style") ||
            std::any_of(drop.begin(), drop.end(), is))
            continue;
        out += u' ';
        out += name;
        if (!attribute.hasValue)
            continue;
        const QChar quote = attribute.quote.isNull() ? QChar(u'"') : attribute.quote;
        out += u'=';
        out += quote;
        if (attribute.quote.isNull() && attribute.value.contains(u'"'))
            out += attribute.value.toString().replace(u'"', QStringLiteral("&quot;"));
        else
            out += attribute.value;
        out += quote;
    }
    out += style;
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

// The style of each start tag, lowest precedence first: what its attributes ask for, the
// style sheet's rules, its own style attribute; then the important declarations.
class TagStyles {
  public:
    struct Style {
        CssDeclarations declarations;
        QString text;
        QString attribute;  // the style attribute that gives them
        bool hasBorder = false;
    };

    explicit TagStyles(const StyleSheet& sheet) : sheet_(sheet) {}

    const Style& of(const Tag& tag, const QString& element) {
        if (sheet_.hasCombinators()) {
            if (open_.full()) {
                last_ = resolve(tag, element, nullptr);
                return last_;
            }
            open_.open(cssElementOf(tag, element));
            last_ = resolve(tag, element, &open_.path());
            if (isVoid(element) || tag.selfClosing)
                open_.popVoid();
            return last_;
        }
        // Without selectors that look at ancestors, a style depends on the tag alone, and
        // a large body repeats a few tags many times.
        QString key = element;
        for (QStringView name : {u"class", u"id", u"style", u"size"}) {
            key += u'\x1f';
            key += attributeValue(tag, name);
        }
        if (element == u"a" && hasAttribute(tag, u"href"))
            key += u"\x1fhref";
        if (const auto known = cache_.constFind(key); known != cache_.constEnd())
            return *known;
        std::vector<CssElement> path;
        if (!sheet_.isEmpty())
            path.push_back(cssElementOf(tag, element));
        return *cache_.insert(key, resolve(tag, element, &path));
    }

    void close(const QString& element) {
        if (sheet_.hasCombinators())
            open_.close(element);
    }

  private:
    Style resolve(const Tag& tag, const QString& element, const std::vector<CssElement>* path) {
        Style style;
        CssDeclarations& declarations = style.declarations;
        if (element == u"font") {
            if (const double points = LegacyFontSizePoints(attributeValue(tag, u"size"));
                points > 0)
                declarations.push_back({QStringLiteral("font-size"),
                                        QString::number(points) + QStringLiteral("pt"), false});
        }
        if (path)
            sheet_.match(*path, declarations);
        const CssDeclarations own =
            SafeCssDeclarations(decodeEntities(attributeValue(tag, u"style")));
        declarations.insert(declarations.end(), own.begin(), own.end());
        std::stable_partition(declarations.begin(), declarations.end(),
                              [](const CssDeclaration& d) { return !d.important; });
        style.text = CssText(declarations);
        style.attribute = styleAttribute(style.text);
        style.hasBorder =
            std::any_of(declarations.begin(), declarations.end(),
                        [](const CssDeclaration& d) { return IsBorderProperty(d.property); });
        return style;
    }

    const StyleSheet& sheet_;
    OpenElements open_;
    QHash<QString, Style> cache_;
    Style last_;
};

// The rules of every <style> element of `html`, wherever it stands: a browser applies a style
// sheet to the whole page. Comments and scripts are skipped as SanitizeHtml skips them, so
// that a style sheet inside a conditional comment stays out.
StyleSheet styleSheetOf(QStringView html) {
    StyleSheet sheet;
    const qsizetype n = html.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype open = html.indexOf(u'<', i);
        if (open < 0)
            break;
        if (html.mid(open).startsWith(u"<!--")) {
            const qsizetype end = html.indexOf(u"-->", open + 4);
            i = end < 0 ? n : end + 3;
            continue;
        }
        i = open + 1;
        const bool style = html.mid(i, 5).compare(u"style", Qt::CaseInsensitive) == 0;
        const bool script = html.mid(i, 6).compare(u"script", Qt::CaseInsensitive) == 0;
        Tag tag;
        if ((!style && !script) || !parseTag(html, open, tag))
            continue;
        const QString element = tag.name.toString().toLower();
        if (element != u"style" && element != u"script")
            continue;
        const auto [endStart, endStop] = endTagOf(html, element, tag.end);
        if (element == u"style")
            sheet.add(html.mid(tag.end, endStart - tag.end));
        i = endStop;
    }
    return sheet;
}

// The divisions and quotations left open, and which of them became a table of one cell for
// their borders.
class OpenBlocks {
  public:
    int boxed() const { return boxed_; }

    void open(const QString& element, bool boxed, int tableDepth) {
        blocks_.push_back({element, boxed, tableDepth});
        boxed_ += boxed;
    }

    // Writes the end of the innermost `element` and of the blocks left open in it; false
    // when none is open, and the end tag is a stray.
    bool close(QString& out, QStringView element) {
        const auto open = std::find_if(blocks_.rbegin(), blocks_.rend(),
                                       [&](const Block& b) { return b.element == element; });
        if (open == blocks_.rend())
            return false;
        closeTo(out, blocks_.rend() - open - 1);
        return true;
    }

    // Ends the blocks opened in the cell at `tableDepth`, as a browser does with the cell.
    void closeCell(QString& out, int tableDepth) {
        size_t keep = blocks_.size();
        while (keep > 0 && blocks_[keep - 1].tableDepth >= tableDepth)
            --keep;
        closeTo(out, keep);
    }

    void closeAll(QString& out) { closeTo(out, 0); }

  private:
    struct Block {
        QString element;
        bool boxed = false;
        int tableDepth = 0;  // of the table cell it stands in
    };

    void closeTo(QString& out, size_t keep) {
        while (blocks_.size() > keep) {
            const Block& block = blocks_.back();
            out += block.boxed ? QStringLiteral("</td></tr></table>")
                               : QStringLiteral("</") + block.element + u'>';
            boxed_ -= block.boxed;
            blocks_.pop_back();
        }
    }

    std::vector<Block> blocks_;
    int boxed_ = 0;
};

struct OpenTable {
    // The border attribute asks for cell borders that the table's own CSS took from Qt's
    // table border, so each cell without borders of its own draws them.
    bool cellBorders = false;
    // The widths that <col> gives its columns ("" for none), which Qt reads only on cells,
    // and the column of the next cell of the row.
    std::vector<QString> columnWidths;
    int column = 0;
};

// Most columns that <col span> is taken to give.
constexpr int kMaxColSpan = 1000;

// The width that Qt reads from a width attribute ("120" or "40%") that CSS or the width
// attribute gives the element, or "" for none. CSS wins, as in a browser; its lengths are in
// pixels already.
QString widthOf(const Tag& tag, const CssDeclarations& declarations) {
    for (auto it = declarations.rbegin(); it != declarations.rend(); ++it) {
        if (it->property != u"width")
            continue;
        const QString value = it->value.trimmed().toLower();
        bool ok = false;
        if (value.endsWith(u'%')) {
            value.chopped(1).toDouble(&ok);
            return ok ? value : QString();
        }
        const double pixels = (value.endsWith(u"px") ? value.chopped(2) : value).toDouble(&ok);
        return ok && pixels > 0 ? QString::number(std::lround(pixels)) : QString();
    }
    const QString attribute = attributeValue(tag, u"width").toString().trimmed();
    bool ok = false;
    if (attribute.endsWith(u'%'))
        attribute.chopped(1).toDouble(&ok);
    else
        ok = attribute.toDouble() > 0;
    return ok ? attribute : QString();
}

QString widthAttribute(const QString& width) {
    return width.isEmpty() ? QString() : QStringLiteral(" width=\"") + width + u'"';
}

// A break that ends a block's text starts no line in a browser, where Qt would add an empty
// one: the break at the end of `html` (from `from` on) goes, with the white space after it,
// which would end the line as a space; the inline elements it closes stay closed. Read from
// the end, so that a block of many breaks costs no more than one of few.
void dropTrailingBreak(QString& html, qsizetype from) {
    static const QRegularExpression kInlineEnd(
        QStringLiteral("^</(span|font|b|i|u|a|strong|em)\\s*>$"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression kBreak(QStringLiteral("^<br\\b[^>]*>$"),
                                           QRegularExpression::CaseInsensitiveOption);
    QString closing;
    qsizetype end = html.size();
    while (end > from) {
        if (html[end - 1].isSpace()) {
            --end;
            continue;
        }
        if (html[end - 1] != u'>')
            return;
        const qsizetype start = html.lastIndexOf(u'<', end - 1);
        if (start < from)
            return;
        const QStringView tag = QStringView(html).mid(start, end - start);
        if (kBreak.match(tag).hasMatch()) {
            html.truncate(start);
            html += closing;
            return;
        }
        if (!kInlineEnd.match(tag).hasMatch())
            return;
        closing.prepend(tag);
        end = start;
    }
}

}  // namespace

QString SanitizeHtml(QStringView html, const ImageSourceFilter& keepImage) {
    QString out;
    // Style sheets written into the elements make the HTML longer.
    out.reserve(html.size() + html.size() / 2);
    const StyleSheet sheet = styleSheetOf(html);
    TagStyles styles(sheet);
    std::vector<OpenTable> tables;
    OpenBlocks blocks;
    int tableDepth = 0;
    int listItems = 0;
    // Where the content of the paragraph or division opened last begins in `out`.
    qsizetype blockContent = -1;
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

        if (element == u"style" || element == u"script") {
            // Style sheets are written into the elements' style attributes.
            if (!tag.closing)
                i = endTagOf(html, element, i).second;
            continue;
        }
        if (isDropped(element))
            continue;
        if (tag.closing)
            styles.close(element);
        if (tableDepth > 0 && (isTablePart(element) || (element == u"table" && tag.closing)))
            blocks.closeCell(out, tableDepth);
        if (element == u"table") {
            const bool tooDeep =
                tag.closing ? tableDepth > kMaxTableNesting : ++tableDepth > kMaxTableNesting;
            if (tag.closing)
                tableDepth = std::max(tableDepth - 1, 0);
            if (tooDeep)
                continue;
            if (tag.closing && !tables.empty())
                tables.pop_back();
        } else if (tableDepth > kMaxTableNesting && isTablePart(element)) {
            out += u' ';
            continue;
        }
        if (element == u"tr" && !tag.closing && !tables.empty())
            tables.back().column = 0;
        if (element == u"li" && (tag.closing || ++listItems > kMaxListItems) &&
            listItems > kMaxListItems) {
            out += tag.closing ? u"</p>" : u"<p>";
            continue;
        }
        if (element == u"img") {
            const QString source = attributeValue(tag, u"src")
                                       .toString()
                                       .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
            const QStringView alt = attributeValue(tag, u"alt");
            if (source.isEmpty() || !keepImage || !keepImage(source, decodeEntities(alt))) {
                if (!alt.isEmpty() && !alt.startsWith(u"cid:", Qt::CaseInsensitive))
                    out += u'[' + escapeText(alt) + u']';
                continue;
            }
        }
        if (tag.closing) {
            if ((element == u"p" || element == u"div") && blockContent >= 0) {
                // A block that holds a lone line break is one empty line in a browser; Qt
                // would show the break's line and the block's own.
                static const QRegularExpression kLoneBreak(
                    QStringLiteral("^\\s*<br\\b[^>]*>\\s*$"),
                    QRegularExpression::CaseInsensitiveOption);
                if (kLoneBreak.match(QStringView(out).mid(blockContent)).hasMatch()) {
                    out.truncate(blockContent);
                    out += u"&nbsp;";
                } else {
                    dropTrailingBreak(out, blockContent);
                }
                blockContent = -1;
            }
            if ((element == u"div" || element == u"blockquote") && blocks.close(out, element))
                continue;
            appendTag(out, tag, element, {});
            continue;
        }

        const TagStyles::Style& style = styles.of(tag, element);
        if (element == u"col" && !tables.empty()) {
            std::vector<QString>& widths = tables.back().columnWidths;
            const int span = std::clamp(attributeValue(tag, u"span").toInt(), 1, kMaxColSpan);
            if (widths.size() < static_cast<size_t>(kMaxColSpan))
                widths.insert(widths.end(), span, widthOf(tag, style.declarations));
        }
        // Qt reads a width only from the attribute, and only on tables and cells.
        QString width;
        if (element == u"table") {
            width = widthOf(tag, style.declarations);
        } else if ((element == u"td" || element == u"th") && !tables.empty()) {
            OpenTable& table = tables.back();
            const int span = std::clamp(attributeValue(tag, u"colspan").toInt(), 1, kMaxColSpan);
            width = widthOf(tag, style.declarations);
            if (width.isEmpty() && span == 1 && table.column >= 0 &&
                static_cast<size_t>(table.column) < table.columnWidths.size())
                width = table.columnWidths[table.column];
            table.column = std::min(table.column + span, kMaxColSpan);
        }
        const QString widthText = widthAttribute(width);
        const std::initializer_list<QStringView> noWidth = {u"width"};
        const std::initializer_list<QStringView> noBorderOrWidth = {u"border", u"width"};
        if (element == u"table") {
            // Qt draws a table's border around every cell as well: a border that CSS gives
            // the table alone would draw a grid that the sender never saw.
            OpenTable table;
            if (!style.hasBorder) {
                tables.push_back(table);
                appendTag(out, tag, element, widthText + style.attribute, noWidth);
                continue;
            }
            const QStringView border = attributeValue(tag, u"border");
            table.cellBorders =
                hasAttribute(tag, u"border") && (border.isEmpty() || border.toInt() > 0);
            tables.push_back(table);
            CssDeclarations declarations = style.declarations;
            std::erase_if(declarations,
                          [](const CssDeclaration& d) { return IsBorderProperty(d.property); });
            appendTag(out, tag, element, widthText + styleAttribute(CssText(declarations)),
                      noBorderOrWidth);
            continue;
        }
        if ((element == u"td" || element == u"th") && !tables.empty() &&
            tables.back().cellBorders && !style.hasBorder) {
            const QString cellBorder = QStringLiteral("border:1px inset #808080");
            appendTag(
                out, tag, element,
                widthText + styleAttribute(style.text.isEmpty() ? cellBorder
                                                                : cellBorder + u';' + style.text),
                noWidth);
            continue;
        }
        if (!width.isEmpty()) {
            appendTag(out, tag, element, widthText + style.attribute, noWidth);
            continue;
        }
        if ((element == u"div" || element == u"blockquote") && !tag.selfClosing) {
            // Each box is a table that Qt lays out within the one around it.
            const bool boxed =
                tableDepth + blocks.boxed() < kMaxTableNesting && DrawsBorder(style.declarations);
            blocks.open(element, boxed, tableDepth);
            if (boxed) {
                const BlockBox box = BoxOfBlock(element, style.declarations);
                out += QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"0\"") +
                       styleAttribute(box.tableStyle) + QStringLiteral("><tr><td") +
                       styleAttribute(box.cellStyle) + u'>';
                continue;
            }
        }
        if (element == u"hr") {
            CssDeclarations declarations = style.declarations;
            declarations.push_back({QStringLiteral("background-color"),
                                    RuleColour(style.declarations, attributeValue(tag, u"color")),
                                    false});
            appendTag(out, tag, element, styleAttribute(CssText(declarations)), {u"color"});
            continue;
        }
        appendTag(out, tag, element, style.attribute,
                  element == u"font" ? std::initializer_list<QStringView>{u"size"}
                                     : std::initializer_list<QStringView>{});
        if (element == u"p" || element == u"div")
            blockContent = out.size();
    }
    blocks.closeAll(out);
    return out;
}

}  // namespace parcelo
