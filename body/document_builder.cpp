#include "body/document_builder.h"

#include "body/paragraph_box.h"
#include "body/table_grid.h"

#include <QFontMetricsF>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QTextTableCellFormat>

#include <algorithm>
#include <limits>
#include <utility>

namespace parcelo {

namespace {

QString alphabetic(int number, char16_t a) {
    QString out;
    for (; number > 0; number = (number - 1) / 26)
        out.prepend(QChar(char16_t(a + (number - 1) % 26)));
    return out;
}

QString roman(int number, bool upper) {
    static constexpr std::pair<int, const char*> kNumerals[] = {
        {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
        {40, "xl"},  {10, "x"},   {9, "ix"},  {5, "v"},    {4, "iv"},  {1, "i"}};
    if (number <= 0 || number >= 5000)
        return QString::number(number);
    QString out;
    for (const auto& [value, numeral] : kNumerals) {
        for (; number >= value; number -= value)
            out += QLatin1StringView(numeral);
    }
    return upper ? out.toUpper() : out;
}

// About how tall a paragraph is on one line: a cell of a row with a height is made that
// tall by its padding, which is all the room Qt's tables give. A paragraph that wraps makes
// the row taller than it should be, never one that overlaps what follows it.
double oneLineHeight(const BuiltParagraph& paragraph) {
    const QTextBlockFormat& format = paragraph.format;
    const double margins = format.topMargin() + format.bottomMargin();
    if (format.lineHeightType() == QTextBlockFormat::FixedHeight)
        return format.lineHeight() + margins;
    double line = QFontMetricsF(paragraph.markFormat.font()).height();
    for (const BuiltRun& run : paragraph.runs) {
        if (run.format.isImageFormat())
            line = std::max(line, run.format.toImageFormat().height());
        else
            line = std::max(line, QFontMetricsF(run.format.font()).height());
    }
    if (format.lineHeightType() == QTextBlockFormat::MinimumHeight)
        line = std::max(line, format.lineHeight());
    return line + margins;
}

// Pads `format` so that a cell holding `content` pixels is `height` pixels tall, the room
// left over going where its vertical alignment puts it.
void padToHeight(QTextFormat& format, double height, double content) {
    QTextTableCellFormat cell = format.toTableCellFormat();
    const double extra = height - content - cell.topPadding() - cell.bottomPadding() -
                         cell.topBorder() - cell.bottomBorder();
    if (extra < 1)
        return;
    switch (cell.verticalAlignment()) {
        case QTextCharFormat::AlignBottom:
            cell.setTopPadding(cell.topPadding() + extra);
            break;
        case QTextCharFormat::AlignMiddle:
            cell.setTopPadding(cell.topPadding() + extra / 2);
            cell.setBottomPadding(cell.bottomPadding() + extra / 2);
            break;
        default:
            cell.setBottomPadding(cell.bottomPadding() + extra);
            break;
    }
    format = cell;
}

}  // namespace

QString ListMarker(const QTextListFormat& format, int number) {
    QString text;
    switch (format.style()) {
        case QTextListFormat::ListDisc:
            return QStringLiteral("\u2022");
        case QTextListFormat::ListCircle:
            return QStringLiteral("\u25E6");
        case QTextListFormat::ListSquare:
            return QStringLiteral("\u25AA");
        case QTextListFormat::ListLowerAlpha:
            text = alphabetic(number, u'a');
            break;
        case QTextListFormat::ListUpperAlpha:
            text = alphabetic(number, u'A');
            break;
        case QTextListFormat::ListLowerRoman:
            text = roman(number, false);
            break;
        case QTextListFormat::ListUpperRoman:
            text = roman(number, true);
            break;
        default:
            text = QString::number(number);
            break;
    }
    return format.numberPrefix() + text + format.numberSuffix();
}

DocumentBuilder::DocumentBuilder(QTextDocument& document)
    : document_(document),
      cursor_(&document),
      undoWasEnabled_(document.isUndoRedoEnabled()),
      needBlock_(!document.isEmpty()),
      firstBlock_(needBlock_ ? document.blockCount() : 0) {
    // A body can have hundreds of thousands of blocks: recording undo steps for them or laying
    // them out one by one would take longer than reading them.
    document_.setUndoRedoEnabled(false);
    cursor_.movePosition(QTextCursor::End);
    cursor_.beginEditBlock();
}

DocumentBuilder::~DocumentBuilder() {
    finish();
    cursor_.endEditBlock();
    document_.setUndoRedoEnabled(undoWasEnabled_);
}

void DocumentBuilder::addParagraph(BuiltParagraph&& paragraph, int tableLevel) {
    if (tableLevel > 0) {
        Table& table = openTo(tableLevel);
        table.cell.items.push_back({std::move(paragraph), nullptr});
        return;
    }
    if (paragraph.borders.drawn()) {
        if (tables_.empty() || !tables_.front()->box ||
            !(*tables_.front()->box == paragraph.borders)) {
            flushTable();
            tables_.push_back(std::make_unique<Table>());
            tables_.back()->box = std::make_unique<BuiltParagraphBorders>(paragraph.borders);
        }
        tables_.back()->cell.items.push_back({std::move(paragraph), nullptr});
        return;
    }
    flushTable();
    // Qt hides an empty block right after a table; an empty paragraph there is shown in a
    // block of its own.
    if (afterTable_ && paragraph.runs.empty())
        needBlock_ = true;
    insertParagraph(cursor_, paragraph, !needBlock_, pageBackground_);
    needBlock_ = true;
    afterTable_ = false;
    added_ = true;
}

void DocumentBuilder::endCell(int tableLevel) {
    Table& table = openTo(tableLevel);
    if (table.row.cells.size() < kMaxColumns) {
        table.row.cells.push_back(std::move(table.cell));
    } else {
        auto& last = table.row.cells.back().items;
        std::move(table.cell.items.begin(), table.cell.items.end(), std::back_inserter(last));
    }
    table.cell = {};
}

void DocumentBuilder::endRow(int tableLevel, const BuiltRowFormat& format) {
    Table& table = openTo(tableLevel);
    if (!table.cell.items.empty())
        endCell(tableLevel);
    if (table.row.cells.empty())
        return;
    table.row.format = format;
    for (const BuiltCellFormat& cell : format.cells) {
        if (table.edges.size() > kMaxColumns)
            break;
        if (std::find(table.edges.begin(), table.edges.end(), cell.edge) == table.edges.end())
            table.edges.push_back(cell.edge);
    }
    table.columns = std::max(table.columns, table.row.cells.size());
    table.rows.push_back(std::move(table.row));
    table.row = {};
    // Rows with different edges make more columns than any row has cells.
    if (std::max(table.columns, table.edges.size()) * table.rows.size() > kMaxTableCells)
        closeInnermost();
}

DocumentBuilder::Table& DocumentBuilder::openTo(int level) {
    level = std::clamp(level, 1, kMaxTableDepth);
    // A box of paragraphs stands before the table, never around it.
    if (!tables_.empty() && tables_.front()->box)
        flushTable();
    while (tables_.size() > static_cast<size_t>(level))
        closeInnermost();
    while (tables_.size() < static_cast<size_t>(level))
        tables_.push_back(std::make_unique<Table>());
    return *tables_.back();
}

void DocumentBuilder::finishRow(Table& table) {
    if (!table.cell.items.empty())
        table.row.cells.push_back(std::move(table.cell));
    table.cell = {};
    if (!table.row.cells.empty())
        table.rows.push_back(std::move(table.row));
    table.row = {};
}

// A nested table becomes the next item of the cell it stands in; the outermost one goes into
// the document.
void DocumentBuilder::closeInnermost() {
    std::unique_ptr<Table> table = std::move(tables_.back());
    tables_.pop_back();
    finishRow(*table);
    if (table->rows.empty())
        return;
    if (!tables_.empty()) {
        Table& parent = *tables_.back();
        parent.cell.items.push_back({BuiltParagraph{}, std::move(table)});
        return;
    }
    if (!needBlock_ && pageBackground_.isValid()) {
        // The empty block the table is put after belongs to this body too.
        QTextBlockFormat before = cursor_.blockFormat();
        before.setBackground(pageBackground_);
        before.setProperty(kPageColorProperty, true);
        cursor_.setBlockFormat(before);
    } else if (needBlock_ && cursor_.block().length() == 1 &&
               !cursor_.blockFormat().hasProperty(QTextFormat::BackgroundBrush)) {
        // Qt hides an empty block right before a table unless its format has a background;
        // an empty paragraph of the body gets one that paints nothing, to stay in sight.
        QTextBlockFormat before = cursor_.blockFormat();
        before.setBackground(QBrush(Qt::NoBrush));
        cursor_.setBlockFormat(before);
    }
    insertTable(cursor_, *table, pageBackground_);
    cursor_.movePosition(QTextCursor::End);
    needBlock_ = false;  // a table is always followed by an empty block, which is used next
    afterTable_ = true;
    added_ = true;
    // That block takes the format of the one the table was put in, which may be the last of
    // an earlier body; it ends this body when nothing follows the table.
    QTextBlockFormat after = cursor_.blockFormat();
    if (pageBackground_.isValid() || after.hasProperty(QTextFormat::BackgroundBrush)) {
        if (pageBackground_.isValid()) {
            after.setBackground(pageBackground_);
            after.setProperty(kPageColorProperty, true);
        } else {
            after.clearBackground();
            after.clearProperty(kPageColorProperty);
        }
        cursor_.setBlockFormat(after);
    }
}

void DocumentBuilder::setPageBackground(const QColor& color) {
    if (added_ && !pageBackground_.isValid())
        unpaintedEnd_ = document_.blockCount();
    pageBackground_ = color;
}

void DocumentBuilder::finish() {
    flushTable();
    paintEarlierBlocks();
}

void DocumentBuilder::paintEarlierBlocks() {
    // Word declares the page colour before the text; a body that declares it later gets it
    // here, once, rather than on every declaration.
    const int end = std::exchange(unpaintedEnd_, 0);
    for (QTextBlock block = document_.findBlockByNumber(firstBlock_);
         block.isValid() && block.blockNumber() < end; block = block.next()) {
        QTextCursor cursor(block);
        if (QTextTable* table = cursor.currentTable()) {
            // A nested table shows the cell it stands in.
            if (table->parentFrame() != document_.rootFrame())
                continue;
            QTextTableCell cell = table->cellAt(cursor);
            QTextTableCellFormat format = cell.format().toTableCellFormat();
            if (format.background().style() == Qt::NoBrush) {
                format.setBackground(pageBackground_);
                format.setProperty(kPageColorProperty, true);
                cell.setFormat(format);
            }
        } else if (block.blockFormat().background().style() == Qt::NoBrush) {
            QTextBlockFormat format = block.blockFormat();
            format.setBackground(pageBackground_);
            format.setProperty(kPageColorProperty, true);
            cursor.setBlockFormat(format);
        }
    }
}

void DocumentBuilder::insertParagraph(QTextCursor& cursor, BuiltParagraph& paragraph,
                                      bool firstInPlace, const QColor& fill,
                                      const QTextFormat* cellFormat) {
    if (fill.isValid() && !paragraph.format.hasProperty(QTextFormat::BackgroundBrush)) {
        paragraph.format.setBackground(fill);
        paragraph.format.setProperty(kPageColorProperty, true);
    }
    QString marker;
    if (paragraph.inList) {
        const int number = ++itemNumbers_[paragraph.list.key];
        if (listItems_ >= kMaxListItems) {
            marker = ListMarker(paragraph.list.format, number) + u' ';
            paragraph.format.setLeftMargin(document_.indentWidth() *
                                           paragraph.list.format.indent());
            paragraph.inList = false;
        }
    }
    QTextCharFormat blockChars =
        paragraph.runs.empty() ? paragraph.markFormat : paragraph.runs.front().format;
    // A cell's format is that of the mark that starts its first block.
    if (cellFormat)
        blockChars.merge(*cellFormat);
    if (firstInPlace) {
        cursor.setBlockFormat(paragraph.format);
        cursor.setBlockCharFormat(blockChars);
    } else {
        cursor.insertBlock(paragraph.format, blockChars);
    }
    if (!marker.isEmpty())
        cursor.insertText(marker, blockChars);
    for (BuiltRun& run : paragraph.runs)
        cursor.insertText(run.text, run.format);
    QTextList* inserted = nullptr;
    if (paragraph.inList) {
        ++listItems_;
        QTextList*& list = lists_[paragraph.list.key];
        const QTextListFormat::Style style = paragraph.list.format.style();
        const bool bullets = style == QTextListFormat::ListDisc ||
                             style == QTextListFormat::ListCircle ||
                             style == QTextListFormat::ListSquare;
        if (list == nullptr ||
            (bullets && (list != previousList_ || list->count() >= kMaxBulletRun))) {
            list = cursor.createList(paragraph.list.format);
        } else {
            list->add(cursor.block());
        }
        inserted = list;
    }
    previousList_ = inserted;
}

void DocumentBuilder::flushTable() {
    while (!tables_.empty())
        closeInnermost();
}

// `fill` paints the cells that have no background of their own: the page's colour for a
// table of the body, none for a nested one, which shows the cell it stands in.
void DocumentBuilder::insertTable(QTextCursor& cursor, Table& table, const QColor& fill) {
    if (table.box) {
        insertBox(cursor, table, fill);
        return;
    }
    std::vector<GridRow> shape;
    shape.reserve(table.rows.size());
    for (const Row& row : table.rows)
        shape.push_back({&row.format, static_cast<int>(row.cells.size())});
    TableGrid grid = PlanTableGrid(shape);
    QTextTable* qtTable = cursor.insertTable(grid.rows, grid.columns, grid.format);
    for (GridCell& placed : grid.cells) {
        // The cell is painted whole, padding and all, so its paragraphs need no colour.
        QTextFormat& format = placed.format;
        if (!format.hasProperty(QTextFormat::BackgroundBrush) && fill.isValid()) {
            format.setBackground(fill);
            format.setProperty(kPageColorProperty, true);
        }
        if (placed.height > 0) {
            double content = 0;
            bool nested = false;
            for (const GridPart at : placed.parts) {
                for (const CellItem& item : table.rows[at.row].cells[at.cell].items) {
                    nested = nested || item.table;
                    if (!item.table)
                        content += oneLineHeight(item.paragraph);
                }
            }
            // A nested table's height is not known before it is laid out; it is seldom
            // shorter than its row.
            if (!nested)
                padToHeight(format, placed.height, content);
        }
        QTextTableCell cell = qtTable->cellAt(placed.row, placed.column);
        QTextCursor cellCursor = cell.firstCursorPosition();
        bool firstInPlace = true;
        // The format goes with the paragraph in the cell's first block, if there is one.
        bool atCellStart = true;
        bool formatSet = false;
        for (size_t part = 0; part < placed.parts.size(); ++part) {
            const GridPart at = placed.parts[part];
            std::vector<CellItem>& items = table.rows[at.row].cells[at.cell].items;
            // A merged cell's own text stays; the others give theirs only if they have some.
            if (part > 0 && std::all_of(items.begin(), items.end(), [](const CellItem& item) {
                    return !item.table && item.paragraph.runs.empty();
                })) {
                continue;
            }
            for (CellItem& item : items) {
                if (item.table) {
                    insertTable(cellCursor, *item.table, QColor());
                    cellCursor = cell.lastCursorPosition();
                    firstInPlace = true;  // the empty block after the nested table
                    atCellStart = false;
                    continue;
                }
                item.paragraph.inList = false;
                insertParagraph(cellCursor, item.paragraph, firstInPlace, QColor(),
                                atCellStart ? &format : nullptr);
                formatSet = formatSet || atCellStart;
                atCellStart = false;
                firstInPlace = false;
            }
        }
        if (!formatSet) {
            QTextTableCellFormat merged = cell.format().toTableCellFormat();
            merged.merge(format);
            cell.setFormat(merged);
        }
    }
    // Merged last: the first paragraph of a cell sets the format that holds its span. The
    // cells merged away are empty, so no text moves. Qt works out the whole table anew for
    // each merge, so a huge table with many merges gets only as many as a fraction of a
    // second allows; the text of the others is in their first cell all the same.
    long long mergeWork = 0;
    const long long cells = static_cast<long long>(grid.rows) * grid.columns;
    for (const GridCell& cell : grid.cells) {
        if (cell.rowSpan == 1 && cell.columnSpan == 1)
            continue;
        if ((mergeWork += cells) > kMaxMergeWork)
            break;
        qtTable->mergeCells(cell.row, cell.column, cell.rowSpan, cell.columnSpan);
    }
}

// Qt draws no border around a paragraph but one on each edge of a table cell: bordered
// paragraphs are shown in a table of one cell as wide as the text, the line at the indent
// they share, as Word draws them.
void DocumentBuilder::insertBox(QTextCursor& cursor, Table& table, const QColor& fill) {
    std::vector<CellItem>& items = table.rows.front().cells.front().items;
    double left = std::numeric_limits<double>::max();
    double right = std::numeric_limits<double>::max();
    for (const CellItem& item : items) {
        left = std::min(left, item.paragraph.format.leftMargin());
        right = std::min(right, item.paragraph.format.rightMargin());
    }
    QTextTableFormat format = ParagraphBoxFormat(left, right);
    format.setProperty(kParagraphBoxProperty, true);
    QTextTableCellFormat cellFormat = ParagraphBoxCellFormat(*table.box);
    if (fill.isValid()) {
        cellFormat.setBackground(fill);
        cellFormat.setProperty(kPageColorProperty, true);
    }
    QTextTable* box = cursor.insertTable(1, 1, format);
    QTextCursor cellCursor = box->cellAt(0, 0).firstCursorPosition();
    bool first = true;
    for (CellItem& item : items) {
        QTextBlockFormat& block = item.paragraph.format;
        if (left > 0)
            block.setLeftMargin(block.leftMargin() - left);
        if (right > 0)
            block.setRightMargin(block.rightMargin() - right);
        insertParagraph(cellCursor, item.paragraph, first, QColor(), first ? &cellFormat : nullptr);
        first = false;
    }
}

}  // namespace parcelo
