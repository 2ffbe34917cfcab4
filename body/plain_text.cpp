#include "body/plain_text.h"

#include "body/document_builder.h"
#include "body/offline_document.h"
#include "body/rtf/rtf_reader.h"

#include <QStringList>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>

#include <algorithm>
#include <vector>

namespace parcelo {

namespace {

void appendFrame(const QTextFrame* frame, QStringList& lines);

QString markerOf(const QTextBlock& block, const QTextList& list) {
    switch (list.format().style()) {
        case QTextListFormat::ListDisc:
        case QTextListFormat::ListCircle:
        case QTextListFormat::ListSquare:
            return ListMarker(list.format(), 1);
        case QTextListFormat::ListStyleUndefined:
            return {};
        default:
            return list.itemText(block);
    }
}

QString lineOf(const QTextBlock& block) {
    QString text;
    const QString raw = block.text();
    text.reserve(raw.size() + 4);
    for (QChar c : raw) {
        switch (c.unicode()) {
            case QChar::LineSeparator:
            case QChar::ParagraphSeparator:
                text += u'\n';
                break;
            case QChar::Nbsp:
                text += u' ';
                break;
            case QChar::ObjectReplacementCharacter:
            case QChar::SoftHyphen:
                break;
            default:
                text += c;
        }
    }
    if (const QTextList* list = block.textList()) {
        const QString marker = markerOf(block, *list);
        const QString indent(2 * std::max(list->format().indent() - 1, 0), u' ');
        text = indent + (marker.isEmpty() ? QString() : marker + u' ') + text;
    }
    return text;
}

void appendTable(const QTextTable* table, QStringList& lines) {
    for (int row = 0; row < table->rows(); ++row) {
        std::vector<QStringList> cells;
        int filled = 0;
        for (int column = 0; column < table->columns(); ++column) {
            const QTextTableCell cell = table->cellAt(row, column);
            if (cell.column() != column)
                continue;  // covered by a cell spanning columns
            QStringList cellLines;
            if (cell.row() == row) {
                for (auto it = cell.begin(); !it.atEnd(); ++it) {
                    if (const QTextFrame* child = it.currentFrame())
                        appendFrame(child, cellLines);
                    else
                        cellLines << lineOf(it.currentBlock());
                }
            }
            while (!cellLines.isEmpty() && cellLines.back().trimmed().isEmpty())
                cellLines.removeLast();
            if (!cellLines.isEmpty())
                ++filled;
            cells.push_back(std::move(cellLines));
        }
        if (filled == 0)
            continue;
        // A row whose one filled cell holds several paragraphs is a layout table's: its
        // paragraphs are the body's.
        const auto lone = std::find_if(cells.begin(), cells.end(),
                                       [](const QStringList& cell) { return !cell.isEmpty(); });
        if (filled == 1 && lone->size() > 1) {
            for (const QStringList& cell : cells)
                lines << cell;
            continue;
        }
        QStringList rowText;
        for (const QStringList& cell : cells)
            rowText << cell.join(u' ');
        lines << rowText.join(u'\t');
    }
}

void appendFrame(const QTextFrame* frame, QStringList& lines) {
    std::vector<QTextFrame::iterator> items;
    for (auto it = frame->begin(); !it.atEnd(); ++it)
        items.push_back(it);
    for (size_t i = 0; i < items.size(); ++i) {
        if (const QTextFrame* child = items[i].currentFrame()) {
            if (const auto* table = qobject_cast<const QTextTable*>(child))
                appendTable(table, lines);
            else
                appendFrame(child, lines);
            continue;
        }
        const QTextBlock block = items[i].currentBlock();
        // A document cannot begin or end with a table: Qt keeps an empty block there, which
        // is not a paragraph of the body. Nor does Qt show an empty block right after a table,
        // or one right before a table whose format has neither a background nor a rule.
        const bool first = i == 0;
        const bool last = i + 1 == items.size();
        const bool beforeTable = !last && items[i + 1].currentFrame();
        const bool afterTable = !first && items[i - 1].currentFrame();
        const QTextBlockFormat format = block.blockFormat();
        const bool shownBeforeTable =
            format.hasProperty(QTextFormat::BackgroundBrush) ||
            format.hasProperty(QTextFormat::BlockTrailingHorizontalRulerWidth);
        if (block.length() <= 1 && (afterTable || (beforeTable && (first || !shownBeforeTable)))) {
            continue;
        }
        lines << lineOf(block);
    }
}

}  // namespace

QString PlainTextOfDocument(const QTextDocument& document) {
    QStringList lines;
    appendFrame(document.rootFrame(), lines);
    return lines.join(u'\n');
}

QString PlainTextOfRtf(std::string_view rtf) {
    OfflineTextDocument document;
    AppendRtf(document, rtf);
    return PlainTextOfDocument(document);
}

}  // namespace parcelo
