// Margins between a table and the blocks beside it, which Qt does not collapse as CSS does.
#pragma once

class QTextDocument;

namespace parcelo {

// Gives each table from position `from` on the space that CSS puts between it and the block
// before and after it: the larger of the two margins that meet. Qt drops the bottom margin of
// the block before a table and adds the table's bottom margin to the top margin of the block
// after it; bordered divisions and quotations, which are tables here, would otherwise stand
// closer to or further from their neighbours than in a browser.
void CollapseTableMargins(QTextDocument& document, int from);

}  // namespace parcelo
