// CSS declarations of HTML bodies (style attributes and style sheet rules), cleaned of every
// reference outside the message and written in the units and forms that Qt's importer reads.
#pragma once

#include <QString>
#include <QStringView>

#include <vector>

namespace parcelo {

struct CssDeclaration {
    QString property;  // lower case
    QString value;
    bool important = false;
};

using CssDeclarations = std::vector<CssDeclaration>;

// The declarations of `text` ("color: red; margin: 0in") that the body view can use, as a
// browser reads them: a declaration that cannot be read is skipped, not the rest. Kept are
// only the properties that lay out text, tables and colours; url() becomes "none", and a
// declaration calling any other function than a colour function is dropped. Lengths in
// points, inches and centimetres become pixels (96 per inch), font sizes become points, and
// border shorthands are put in Qt's order (width, style, colour).
CssDeclarations SafeCssDeclarations(QStringView text);

// `declarations` as the text of a style attribute.
QString CssText(const CssDeclarations& declarations);

// `text` without its /* comments */, which may stand anywhere outside strings.
QString WithoutCssComments(QStringView text);

// Whether `property` draws a border (rather than collapsing or spacing borders).
bool IsBorderProperty(QStringView property);

// The size in points that a browser gives to <font size="value">, or a negative number when
// the value is not a size.
double LegacyFontSizePoints(QStringView value);

}  // namespace parcelo
