#include "document_builder.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QTextTableCellFormat>

#include <algorithm>
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

void DocumentBuilder::addParagraph(BuiltParagraph&& paragraph, bool inTable) {
    if (inTable) {
        inTable_ = true;
        cell_.paragraphs.push_back(std::move(paragraph));
        return;
    }
    if (inTable_)
        flushTable();
    insertParagraph(cursor_, paragraph, !needBlock_, pageBackground_);
    needBlock_ = true;
    added_ = true;
}

void DocumentBuilder::endCell() {
    inTable_ = true;
    if (row_.cells.size() < kMaxColumns) {
        row_.cells.push_back(std::move(cell_));
    } else {
        auto& last = row_.cells.back().paragraphs;
        std::move(cell_.paragraphs.begin(), cell_.paragraphs.end(), std::back_inserter(last));
    }
    cell_ = {};
}

void DocumentBuilder::endRow(const std::vector<int>& cellEdges,
                             const std::vector<QColor>& cellBackgrounds) {
    if (!cell_.paragraphs.empty())
        endCell();
    if (row_.cells.empty())
        return;
    row_.cellEdges = cellEdges;
    row_.cellBackgrounds = cellBackgrounds;
    tableColumns_ = std::max(tableColumns_, row_.cells.size());
    rows_.push_back(std::move(row_));
    row_ = {};
    if (tableColumns_ * rows_.size() > kMaxTableCells)
        flushTable();
}

void DocumentBuilder::setPageBackground(const QColor& color) {
    if (added_ && !pageBackground_.isValid())
        unpaintedEnd_ = document_.blockCount();
    pageBackground_ = color;
}

void DocumentBuilder::finish() {
    if (inTable_)
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
            QTextTableCell cell = table->cellAt(cursor);
            QTextTableCellFormat format = cell.format().toTableCellFormat();
            if (!format.hasProperty(QTextFormat::BackgroundBrush)) {
                format.setBackground(pageBackground_);
                cell.setFormat(format);
            }
        } else if (!block.blockFormat().hasProperty(QTextFormat::BackgroundBrush)) {
            QTextBlockFormat format = block.blockFormat();
            format.setBackground(pageBackground_);
            cursor.setBlockFormat(format);
        }
    }
}

void DocumentBuilder::insertParagraph(QTextCursor& cursor, BuiltParagraph& paragraph,
                                      bool firstInPlace, const QColor& fill) {
    if (fill.isValid() && !paragraph.format.hasProperty(QTextFormat::BackgroundBrush))
        paragraph.format.setBackground(fill);
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
    const QTextCharFormat& blockChars =
        paragraph.runs.empty() ? paragraph.markFormat : paragraph.runs.front().format;
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
    if (!cell_.paragraphs.empty() || !row_.cells.empty()) {
        if (!cell_.paragraphs.empty())
            endCell();
        rows_.push_back(std::move(row_));
        row_ = {};
    }
    inTable_ = false;
    int columns = 1;
    for (const Row& row : rows_)
        columns = std::max(columns, static_cast<int>(row.cells.size()));
    tableColumns_ = 0;
    if (rows_.empty())
        return;

    QTextTableFormat format;
    format.setBorder(1);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderCollapse(true);
    format.setCellPadding(3);
    format.setCellSpacing(0);
    // Word gives each cell's right edge; the widths follow when the first row has them all.
    const std::vector<int>& edges = rows_.front().cellEdges;
    if (static_cast<int>(edges.size()) == columns) {
        QList<QTextLength> widths;
        int left = 0;
        for (int edge : edges) {
            widths.append(QTextLength(QTextLength::FixedLength, std::max(edge - left, 60) / 15.0));
            left = edge;
        }
        format.setColumnWidthConstraints(widths);
    }

    if (!needBlock_ && pageBackground_.isValid()) {
        // The empty block the table is put after belongs to this body too.
        QTextBlockFormat before = cursor_.blockFormat();
        before.setBackground(pageBackground_);
        cursor_.setBlockFormat(before);
    }
    QTextTable* table = cursor_.insertTable(static_cast<int>(rows_.size()), columns, format);
    for (int r = 0; r < static_cast<int>(rows_.size()); ++r) {
        Row& row = rows_[r];
        for (int c = 0; c < static_cast<int>(row.cells.size()); ++c) {
            QTextTableCell cell = table->cellAt(r, c);
            QTextCursor cellCursor = cell.firstCursorPosition();
            bool first = true;
            for (BuiltParagraph& paragraph : row.cells[c].paragraphs) {
                paragraph.inList = false;
                insertParagraph(cellCursor, paragraph, first, QColor());
                first = false;
            }
            // The cell is painted whole, padding and all, so its paragraphs need no colour. Its
            // format is that of its first paragraph mark, so it is set once they are in.
            QColor background = static_cast<size_t>(c) < row.cellBackgrounds.size()
                                    ? row.cellBackgrounds[c]
                                    : QColor();
            if (!background.isValid())
                background = pageBackground_;
            if (background.isValid()) {
                QTextTableCellFormat cellFormat = cell.format().toTableCellFormat();
                cellFormat.setBackground(background);
                cell.setFormat(cellFormat);
            }
        }
    }
    rows_.clear();
    cursor_.movePosition(QTextCursor::End);
    needBlock_ = false;  // a table is always followed by an empty block, which is used next
    added_ = true;
    // That block takes the format of the one the table was put in, which may be the last of
    // an earlier body; it ends this body when nothing follows the table.
    QTextBlockFormat after = cursor_.blockFormat();
    if (pageBackground_.isValid() || after.hasProperty(QTextFormat::BackgroundBrush)) {
        if (pageBackground_.isValid())
            after.setBackground(pageBackground_);
        else
            after.clearBackground();
        cursor_.setBlockFormat(after);
    }
}

}  // namespace parcelo
