#include "body/html/block_borders.h"

#include <QList>
#include <QStringList>

#include <array>

namespace parcelo {

namespace {

bool isMargin(QStringView property) {
    return property == u"margin" || property.startsWith(u"margin-");
}

bool isHiddenStyle(QStringView value) {
    const QString lower = value.trimmed().toString().toLower();
    return lower.isEmpty() || lower == u"none" || lower == u"hidden";
}

// The edges ("top", "right", "bottom", "left") that a border property sets.
std::array<bool, 4> edgesOf(QStringView property) {
    static constexpr QStringView kEdges[] = {u"-top", u"-right", u"-bottom", u"-left"};
    std::array<bool, 4> out{};
    bool any = false;
    for (size_t edge = 0; edge < 4; ++edge) {
        if (property.mid(6).startsWith(kEdges[edge])) {
            out[edge] = true;
            any = true;
        }
    }
    if (!any)
        out.fill(true);
    return out;
}

// The colour word of a border shorthand, which SafeCssDeclarations writes as width, style,
// colour.
QString shorthandColour(const QString& value) {
    const QStringList parts = value.split(u' ', Qt::SkipEmptyParts);
    return parts.size() >= 3 ? parts.mid(2).join(u' ') : QString();
}

}  // namespace

bool DrawsBorder(const CssDeclarations& declarations) {
    std::array<bool, 4> drawn{};
    for (const CssDeclaration& d : declarations) {
        const QString& property = d.property;
        if (!IsBorderProperty(property))
            continue;
        const bool shorthand = property == u"border" || property == u"border-top" ||
                               property == u"border-right" || property == u"border-bottom" ||
                               property == u"border-left";
        const bool style = property.endsWith(u"-style");
        if (!shorthand && !style)
            continue;
        // "border-style" may name up to four edges' styles; any shown one draws.
        bool shows = !isHiddenStyle(d.value);
        if (style && property == u"border-style") {
            shows = false;
            for (QStringView word : QStringView(d.value).split(u' ', Qt::SkipEmptyParts))
                shows = shows || !isHiddenStyle(word);
        }
        const std::array<bool, 4> edges = edgesOf(property);
        for (size_t edge = 0; edge < 4; ++edge)
            if (edges[edge])
                drawn[edge] = shows;
    }
    return drawn[0] || drawn[1] || drawn[2] || drawn[3];
}

BlockBox BoxOfBlock(QStringView element, const CssDeclarations& declarations) {
    CssDeclarations table;
    CssDeclarations cell;
    // A browser's own margins of a quotation, in the pixels of a 16 px text.
    if (element == u"blockquote")
        table.push_back({QStringLiteral("margin"), QStringLiteral("16px 40px"), false});
    for (const CssDeclaration& d : declarations)
        (isMargin(d.property) ? table : cell).push_back(d);
    return {CssText(table), CssText(cell)};
}

QString RuleColour(const CssDeclarations& declarations, QStringView colorAttribute) {
    // A browser draws a rule as its border, in grey unless told; a rule given a height and a
    // background shows that background instead.
    QString colour =
        colorAttribute.isEmpty() ? QStringLiteral("#808080") : colorAttribute.toString();
    for (const CssDeclaration& d : declarations) {
        const QString& property = d.property;
        if (property == u"color" || property == u"border-color" ||
            property == u"border-top-color" || property == u"background-color" ||
            property == u"background") {
            if (!d.value.contains(u' ') && !d.value.isEmpty() && d.value != u"none")
                colour = d.value;
        } else if (property == u"border" || property == u"border-top") {
            if (const QString c = shorthandColour(d.value); !c.isEmpty())
                colour = c;
        }
    }
    return colour;
}

}  // namespace parcelo
