#include "body/html/table_margins.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <algorithm>
#include <vector>

namespace parcelo {

namespace {

void collectTables(QTextFrame& frame, int from, std::vector<QTextTable*>& out) {
    for (QTextFrame* child : frame.childFrames()) {
        if (child->lastPosition() < from)
            continue;
        if (auto* table = qobject_cast<QTextTable*>(child); table && table->firstPosition() > from)
            out.push_back(table);
        collectTables(*child, from, out);
    }
}

// Whether `block` stands beside `table` in the same frame, and in the same cell when that
// frame is a table.
bool besides(const QTextBlock& block, const QTextTable& table) {
    if (!block.isValid())
        return false;
    const QTextFrame* parent = table.parentFrame();
    if (QTextCursor(block).currentFrame() != parent)
        return false;
    const auto* outer = qobject_cast<const QTextTable*>(parent);
    return !outer || outer->cellAt(block.position()) == outer->cellAt(table.firstPosition() - 1);
}

}  // namespace

void CollapseTableMargins(QTextDocument& document, int from) {
    std::vector<QTextTable*> tables;
    collectTables(*document.rootFrame(), from, tables);
    for (QTextTable* table : tables) {
        QTextTableFormat format = table->format();
        const qreal top = format.topMargin();
        const qreal bottom = format.bottomMargin();
        const QTextBlock before = document.findBlock(table->firstPosition() - 1);
        if (besides(before, *table) && before.position() >= from)
            format.setTopMargin(std::max(top, before.blockFormat().bottomMargin()));
        // The empty block that Qt keeps after every table stands in for no paragraph of the
        // body; the block after it does.
        const QTextBlock kept = document.findBlock(table->lastPosition() + 1);
        const QTextBlock after = kept.length() == 1 ? kept.next() : kept;
        if (after != kept && besides(after, *table)) {
            const qreal next = after.blockFormat().topMargin();
            format.setBottomMargin(std::max(bottom, next) - next);
        }
        if (format.topMargin() != top || format.bottomMargin() != bottom)
            table->setFormat(format);
    }
}

}  // namespace parcelo
