// Borders of HTML blocks. Qt draws no border around a paragraph or a division, but it draws
// one on each edge of a table cell: a division or quotation that asks for a border is shown
// as a table of one cell, with the block's margins on the table and the rest on the cell.
#pragma once

#include "body/html/css_declarations.h"

#include <QString>
#include <QStringView>

namespace parcelo {

// Whether the declarations leave any edge of a box with a border that shows.
bool DrawsBorder(const CssDeclarations& declarations);

struct BlockBox {
    QString tableStyle;  // the block's margins
    QString cellStyle;   // everything else: borders, padding, colours, fonts
};

// How a bordered `element` ("div" or "blockquote") with `declarations` is laid out as a
// table of one cell; a quotation keeps the margins a browser gives it unless told otherwise.
BlockBox BoxOfBlock(QStringView element, const CssDeclarations& declarations);

// The colour of an <hr> with `declarations` and the legacy `colorAttribute`: Qt draws a rule
// in its block's background, which the block inherits from the box around it.
QString RuleColour(const CssDeclarations& declarations, QStringView colorAttribute);

}  // namespace parcelo
