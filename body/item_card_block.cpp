#include "body/item_card_block.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include "body/rtf/rtf_reader.h"

namespace parcelo {

namespace {

QString fromUtf8(const std::string& text) {
    QString decoded = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    decoded.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    decoded.replace(u'\r', u'\n');
    return decoded;
}

// A value's lines stay in one paragraph of its cell, as lines of a single field.
QString valueText(const std::string& text) {
    QString lines = fromUtf8(text);
    lines.replace(u'\n', QChar::LineSeparator);
    return lines;
}

}  // namespace

void AppendItemCard(QTextDocument& document, const ItemCard& card) {
    const bool undoWasEnabled = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    if (!document.isEmpty())
        cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());

    QTextBlockFormat heading;
    heading.setHeadingLevel(2);
    heading.setBottomMargin(6);
    QTextCharFormat headingText;
    headingText.setFontWeight(QFont::Bold);
    headingText.setProperty(QTextFormat::FontSizeAdjustment, 2);
    cursor.setBlockFormat(heading);
    cursor.insertText(fromUtf8(card.title), headingText);

    if (!card.rows.empty()) {
        QTextTableFormat grid;
        grid.setBorder(0);
        grid.setBorderStyle(QTextFrameFormat::BorderStyle_None);
        grid.setCellPadding(2);
        grid.setCellSpacing(0);
        grid.setColumnWidthConstraints({QTextLength(QTextLength::VariableLength, 0),
                                        QTextLength(QTextLength::VariableLength, 0)});
        QTextCharFormat labelText;
        labelText.setFontWeight(QFont::Bold);
        QTextTable* table = cursor.insertTable(static_cast<int>(card.rows.size()), 2, grid);
        for (int row = 0; row < table->rows(); ++row) {
            const ItemCard::Row& entry = card.rows[static_cast<size_t>(row)];
            QTextCursor label = table->cellAt(row, 0).firstCursorPosition();
            label.insertText(fromUtf8(entry.label), labelText);
            QTextCursor value = table->cellAt(row, 1).firstCursorPosition();
            value.insertText(valueText(entry.value), QTextCharFormat());
        }
        // The table leaves a block after it, in the heading's format: it becomes the
        // description's, or stays empty to end the card.
        cursor.movePosition(QTextCursor::End);
        cursor.setBlockFormat(QTextBlockFormat());
        cursor.setCharFormat(QTextCharFormat());
    } else if (!card.description.empty() && card.descriptionFormat != BodyFormat::kRtf) {
        cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    }

    if (!card.description.empty() && card.descriptionFormat != BodyFormat::kRtf) {
        QTextBlockFormat paragraph;
        paragraph.setTopMargin(8);
        cursor.setBlockFormat(paragraph);
        cursor.insertText(fromUtf8(card.description), QTextCharFormat());
    }
    cursor.endEditBlock();
    document.setUndoRedoEnabled(undoWasEnabled);
    // RTF goes through the body reader, after the empty block that ends the table.
    if (card.descriptionFormat == BodyFormat::kRtf && !card.description.empty())
        AppendRtf(document, card.description);
}

}  // namespace parcelo
