#include "body/html/css_declarations.h"

#include "body/lengths.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace parcelo {

namespace {

// What Qt's importer does something with. Everything else is at best ignored (Word's many
// mso- properties) and at worst a way out of the message (behavior, -moz-binding, Qt's own
// -qt- properties).
bool isKnownProperty(QStringView property) {
    static const QStringView kKnown[] = {u"background",
                                         u"background-color",
                                         u"border",
                                         u"border-bottom",
                                         u"border-bottom-color",
                                         u"border-bottom-style",
                                         u"border-bottom-width",
                                         u"border-collapse",
                                         u"border-color",
                                         u"border-left",
                                         u"border-left-color",
                                         u"border-left-style",
                                         u"border-left-width",
                                         u"border-right",
                                         u"border-right-color",
                                         u"border-right-style",
                                         u"border-right-width",
                                         u"border-style",
                                         u"border-top",
                                         u"border-top-color",
                                         u"border-top-style",
                                         u"border-top-width",
                                         u"border-width",
                                         u"color",
                                         u"float",
                                         u"font",
                                         u"font-family",
                                         u"font-size",
                                         u"font-style",
                                         u"font-variant",
                                         u"font-weight",
                                         u"height",
                                         u"letter-spacing",
                                         u"line-height",
                                         u"list-style",
                                         u"list-style-type",
                                         u"margin",
                                         u"margin-bottom",
                                         u"margin-left",
                                         u"margin-right",
                                         u"margin-top",
                                         u"padding",
                                         u"padding-bottom",
                                         u"padding-left",
                                         u"padding-right",
                                         u"padding-top",
                                         u"page-break-after",
                                         u"page-break-before",
                                         u"text-align",
                                         u"text-decoration",
                                         u"text-indent",
                                         u"text-transform",
                                         u"vertical-align",
                                         u"white-space",
                                         u"width",
                                         u"word-spacing"};
    return std::any_of(std::begin(kKnown), std::end(kKnown),
                       [&](QStringView known) { return known == property; });
}

bool isBorderShorthand(QStringView property) {
    return property == u"border" || property == u"border-top" || property == u"border-right" ||
           property == u"border-bottom" || property == u"border-left";
}

// The first character from `from` on that `isSeparator` accepts outside strings and
// brackets, or the end.
template <typename Separator>
qsizetype separatorAt(QStringView text, qsizetype from, Separator isSeparator) {
    QChar quote;
    int depth = 0;
    for (qsizetype i = from; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'(') {
            ++depth;
        } else if (c == u')') {
            depth = std::max(depth - 1, 0);
        } else if (depth == 0 && isSeparator(c)) {
            return i;
        }
    }
    return text.size();
}

// The parts of a value, split at white space outside strings and brackets.
QStringList words(QStringView value) {
    QStringList out;
    for (qsizetype from = 0; from < value.size();) {
        const qsizetype end = separatorAt(value, from, [](QChar c) { return c.isSpace(); });
        if (end > from)
            out << value.mid(from, end - from).toString();
        from = end + 1;
    }
    return out;
}

QString numberText(double value) {
    QString text = QString::number(std::round(value * 100) / 100, 'f', 2);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text == u"-0" ? QStringLiteral("0") : text;
}

// `word` as a number and a unit ("36.0pt" gives 36 and "pt"); false for anything else.
bool splitLength(QStringView word, double& number, QString& unit) {
    qsizetype end = 0;
    if (end < word.size() && (word[end] == u'+' || word[end] == u'-'))
        ++end;
    while (end < word.size() && (word[end].isDigit() || word[end] == u'.'))
        ++end;
    if (end == 0 || !word[end - 1].isDigit())
        return false;
    bool ok = false;
    number = word.left(end).toDouble(&ok);
    unit = word.mid(end).toString().toLower();
    return ok;
}

// How many pixels one `unit` is, at 96 pixels per inch, or 0 for a unit left as it is.
double pixelsPer(QStringView unit) {
    if (unit == u"pt")
        return PixelsFromPoints(1);
    if (unit == u"pc")
        return PixelsFromPoints(12);
    if (unit == u"in")
        return kPixelsPerInch;
    if (unit == u"cm")
        return kPixelsPerInch / 2.54;
    if (unit == u"mm")
        return kPixelsPerInch / 25.4;
    if (unit == u"q")
        return kPixelsPerInch / 101.6;
    return 0;
}

// Qt takes lengths in pixels, em and ex only, and reads "36pt" as nothing at all.
QString lengthInPixels(const QString& word) {
    double number = 0;
    QString unit;
    if (!splitLength(word, number, unit))
        return word;
    const double factor = pixelsPer(unit);
    if (factor == 0)
        return word;
    return numberText(number * factor) + QStringLiteral("px");
}

// Windows' system colours, which Word writes and Qt does not know.
QString colourName(const QString& word) {
    const QString lower = word.toLower();
    if (lower == u"windowtext" || lower == u"buttontext" || lower == u"captiontext" ||
        lower == u"infotext" || lower == u"menutext")
        return QStringLiteral("#000000");
    if (lower == u"window" || lower == u"highlighttext")
        return QStringLiteral("#ffffff");
    if (lower == u"buttonface" || lower == u"threedface" || lower == u"menu")
        return QStringLiteral("#f0f0f0");
    if (lower == u"graytext" || lower == u"buttonshadow" || lower == u"threedshadow")
        return QStringLiteral("#808080");
    return word;
}

bool isBorderStyle(const QString& word) {
    static const QStringView kStyles[] = {u"none",   u"hidden", u"dotted", u"dashed", u"solid",
                                          u"double", u"groove", u"ridge",  u"inset",  u"outset"};
    const QString lower = word.toLower();
    return std::any_of(std::begin(kStyles), std::end(kStyles),
                       [&](QStringView style) { return style == lower; });
}

QString borderWidth(const QString& word) {
    const QString lower = word.toLower();
    if (lower == u"thin")
        return QStringLiteral("1px");
    if (lower == u"medium")
        return QStringLiteral("3px");
    if (lower == u"thick")
        return QStringLiteral("5px");
    double number = 0;
    QString unit;
    return splitLength(word, number, unit) ? lengthInPixels(word) : QString();
}

// Word writes "solid windowtext 1.0pt"; Qt reads the parts in the order width, style, colour
// only, and pixels only.
QString borderShorthand(const QStringList& parts) {
    QString width;
    QString style;
    QString colour;
    for (const QString& part : parts) {
        if (style.isEmpty() && isBorderStyle(part))
            style = part.toLower();
        else if (const QString w = borderWidth(part); width.isEmpty() && !w.isEmpty())
            width = w;
        else if (colour.isEmpty())
            colour = colourName(part);
    }
    if (style.isEmpty() || style == u"none" || style == u"hidden")
        return QStringLiteral("none");
    QString out = (width.isEmpty() ? QStringLiteral("3px") : width) + u' ' + style;
    if (!colour.isEmpty())
        out += u' ' + colour;
    return out;
}

double keywordFontSizePoints(const QString& keyword) {
    // A browser's sizes at its usual 16 px "medium".
    static const struct {
        QStringView keyword;
        double points;
    } kSizes[] = {{u"xx-small", 6.75}, {u"x-small", 7.5}, {u"small", 9.75},  {u"medium", 12},
                  {u"large", 13.5},    {u"x-large", 18},  {u"xx-large", 24}, {u"xxx-large", 36}};
    for (const auto& size : kSizes)
        if (size.keyword == keyword)
            return size.points;
    return -1;
}

// Qt turns size keywords into a scale of the view's default font that overrides any size in
// points given inside; pixel sizes do not follow the screen's resolution as the rest of the
// body does. Both become points.
QString fontSize(const QString& value) {
    const QString lower = value.trimmed().toLower();
    if (const double points = keywordFontSizePoints(lower); points > 0)
        return numberText(points) + QStringLiteral("pt");
    double number = 0;
    QString unit;
    if (!splitLength(lower, number, unit) || number < 0)
        return value;
    if (unit == u"px")
        return numberText(number * 0.75) + QStringLiteral("pt");
    if (const double factor = pixelsPer(unit); factor > 0 && unit != u"pt")
        return numberText(number * factor * 0.75) + QStringLiteral("pt");
    return value;
}

QString normalizedValue(const QString& property, const QString& value) {
    if (property == u"font-size")
        return fontSize(value);
    const QStringList parts = words(value);
    if (isBorderShorthand(property))
        return borderShorthand(parts);
    // The size in a font shorthand stays in points, which Qt reads there.
    if (property == u"font")
        return parts.join(u' ');
    const bool colour = property.endsWith(u"color") || property == u"background";
    QStringList out;
    for (const QString& part : parts)
        out << (colour ? colourName(lengthInPixels(part)) : lengthInPixels(part));
    return out.join(u' ');
}

// `value` with url() replaced by "none"; empty when it calls any other function than a
// colour's, hides a name in escapes, or could end the rule it stands in.
QString safeValue(QStringView value) {
    QString out;
    out.reserve(value.size());
    QChar quote;
    qsizetype i = 0;
    while (i < value.size()) {
        const QChar c = value[i];
        if (c == u'\\' || c == u'{' || c == u'}' || c == u'<' || c == u';')
            return {};
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            out += c;
            ++i;
            continue;
        }
        if (c == u'"' || c == u'\'') {
            quote = c;
            out += c;
            ++i;
            continue;
        }
        if (c != u'(') {
            out += c;
            ++i;
            continue;
        }
        qsizetype nameStart = out.size();
        while (nameStart > 0 && (out[nameStart - 1].isLetterOrNumber() ||
                                 out[nameStart - 1] == u'-' || out[nameStart - 1] == u'_'))
            --nameStart;
        const QString function = out.mid(nameStart).toLower();
        if (function == u"url") {
            out.truncate(nameStart);
            out += u"none";
            qsizetype j = i + 1;
            while (j < value.size() && value[j].isSpace())
                ++j;
            if (j < value.size() && (value[j] == u'"' || value[j] == u'\'')) {
                const qsizetype close = value.indexOf(value[j], j + 1);
                j = close < 0 ? value.size() : close + 1;
            }
            const qsizetype paren = value.indexOf(u')', j);
            i = paren < 0 ? value.size() : paren + 1;
            continue;
        }
        if (function != u"rgb" && function != u"rgba" && function != u"hsl" && function != u"hsla")
            return {};
        out += c;
        ++i;
    }
    return quote.isNull() ? out : QString();
}

}  // namespace

QString WithoutCssComments(QStringView text) {
    if (!text.contains(u"/*"))
        return text.toString();
    QString out;
    out.reserve(text.size());
    QChar quote;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quote.isNull() && c == u'/' && i + 1 < text.size() && text[i + 1] == u'*') {
            const qsizetype end = text.indexOf(u"*/", i + 2);
            if (end < 0)
                break;
            i = end + 1;
            out += u' ';
            continue;
        }
        if (!quote.isNull() && c == quote)
            quote = QChar();
        else if (quote.isNull() && (c == u'"' || c == u'\''))
            quote = c;
        out += c;
    }
    return out;
}

namespace {

// Where the declaration that starts at `from` ends: the next ';' outside strings and
// brackets, or the end.
qsizetype declarationEnd(QStringView text, qsizetype from) {
    return separatorAt(text, from, [](QChar c) { return c == u';'; });
}

bool isPropertyName(QStringView name) {
    return !name.isEmpty() && std::all_of(name.begin(), name.end(), [](QChar c) {
        return (c.isLetterOrNumber() && c.unicode() < 128) || c == u'-' || c == u'_';
    });
}

}  // namespace

CssDeclarations SafeCssDeclarations(QStringView text) {
    CssDeclarations out;
    const QString plain = WithoutCssComments(text);
    const QStringView css(plain);
    qsizetype i = 0;
    while (i < css.size()) {
        const qsizetype end = declarationEnd(css, i);
        const QStringView declaration = css.mid(i, end - i);
        i = end + 1;
        const qsizetype colon = declaration.indexOf(u':');
        if (colon < 0)
            continue;
        const QString property = declaration.left(colon).trimmed().toString().toLower();
        if (!isPropertyName(property) || !isKnownProperty(property))
            continue;
        QStringView value = declaration.mid(colon + 1).trimmed();
        bool important = false;
        if (const qsizetype bang = value.lastIndexOf(u'!'); bang >= 0) {
            if (value.mid(bang + 1).trimmed().compare(u"important", Qt::CaseInsensitive) != 0)
                continue;
            important = true;
            value = value.left(bang).trimmed();
        }
        QString safe = safeValue(value);
        if (safe.trimmed().isEmpty())
            continue;
        out.push_back({property, normalizedValue(property, safe), important});
    }
    return out;
}

QString CssText(const CssDeclarations& declarations) {
    QString out;
    for (const CssDeclaration& declaration : declarations) {
        if (!out.isEmpty())
            out += u';';
        out += declaration.property;
        out += u':';
        out += declaration.value;
        if (declaration.important)
            out += u" !important";
    }
    return out;
}

bool IsBorderProperty(QStringView property) {
    return property.startsWith(u"border") && property != u"border-collapse";
}

double LegacyFontSizePoints(QStringView value) {
    const QStringView trimmed = value.trimmed();
    bool ok = false;
    int size = trimmed.toInt(&ok);
    if (!ok)
        return -1;
    // "+1" and "-1" count from the default size 3, not from the size around them.
    if (trimmed.startsWith(u'+') || trimmed.startsWith(u'-'))
        size += 3;
    static const double kPoints[] = {7.5, 9.75, 12, 13.5, 18, 24, 36};
    return kPoints[std::clamp(size, 1, 7) - 1];
}

}  // namespace parcelo
