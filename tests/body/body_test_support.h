// Helpers shared by the RTF tests: reading a body into a fresh document and finding the
// formatting of a piece of its text.
#pragma once

#include "body/offline_document.h"
#include "body/plain_text.h"
#include "body/rtf/rtf_reader.h"

#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QTextTableCellFormat>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace parcelo::test {

// Names the cases of a table-driven test after their `name` field.
struct CaseName {
    template <class Case>
    std::string operator()(const testing::TestParamInfo<Case>& param) const {
        return param.param.name;
    }
};

inline std::unique_ptr<QTextDocument> Read(std::string_view rtf, const CidResolver& cid = {}) {
    auto document = std::make_unique<OfflineTextDocument>();
    AppendRtf(*document, rtf, cid);
    return document;
}

inline QString TextOf(std::string_view rtf) {
    return PlainTextOfRtf(rtf);
}

// The format of the fragment holding `text`, if the document has it.
inline std::optional<QTextCharFormat> FormatOf(const QTextDocument& document, const QString& text) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().text().contains(text))
                return it.fragment().charFormat();
        }
    }
    return std::nullopt;
}

// The block holding `text`, or an invalid block.
inline QTextBlock BlockOf(const QTextDocument& document, const QString& text) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        if (block.text().contains(text))
            return block;
    return {};
}

// The background of every block from `first` on, one word each: its colour or "-"; a block in
// a table cell shows the cell's as "[colour]", followed by the block's own if it has one.
inline std::string BackgroundsOf(const QTextDocument& document, int first = 0) {
    const auto name = [](const QTextFormat& format) {
        return format.background().style() != Qt::NoBrush
                   ? format.background().color().name().toStdString()
                   : std::string("-");
    };
    std::string out;
    for (QTextBlock block = document.findBlockByNumber(first); block.isValid();
         block = block.next()) {
        if (!out.empty())
            out += ' ';
        const QTextCursor cursor(block);
        if (const QTextTable* table = cursor.currentTable()) {
            out += "[" + name(table->cellAt(cursor).format()) + "]";
            if (block.blockFormat().background().style() != Qt::NoBrush)
                out += name(block.blockFormat());
        } else {
            out += name(block.blockFormat());
        }
    }
    return out;
}

// The first table of the document's body (not nested), or null.
inline QTextTable* FirstTable(const QTextDocument& document) {
    for (QTextFrame* frame : document.rootFrame()->childFrames())
        if (auto* table = qobject_cast<QTextTable*>(frame))
            return table;
    return nullptr;
}

// A table's cells, row by row ("|" between rows, "," between cells): each cell's lines joined
// by "/" ("_" for none), with its span when it spans more than one row or column, and the
// tables nested in it in braces.
inline std::string ShapeOf(const QTextTable& table) {
    std::string out;
    for (int row = 0; row < table.rows(); ++row) {
        if (row > 0)
            out += " | ";
        bool firstCell = true;
        for (int column = 0; column < table.columns(); ++column) {
            const QTextTableCell cell = table.cellAt(row, column);
            if (cell.row() != row || cell.column() != column)
                continue;
            if (!firstCell)
                out += ", ";
            firstCell = false;
            std::string text;
            for (auto it = cell.begin(); !it.atEnd(); ++it) {
                if (const auto* nested = qobject_cast<QTextTable*>(it.currentFrame())) {
                    text += "{" + ShapeOf(*nested) + "}";
                } else if (!it.currentFrame() && !it.currentBlock().text().isEmpty()) {
                    if (!text.empty() && text.back() != '}')
                        text += "/";
                    text += it.currentBlock().text().toStdString();
                }
            }
            out += text.empty() ? "_" : text;
            if (cell.rowSpan() > 1 || cell.columnSpan() > 1)
                out += "[" + std::to_string(cell.rowSpan()) + "x" +
                       std::to_string(cell.columnSpan()) + "]";
        }
    }
    return out;
}

// The borders a cell has of its own, top, left, bottom, right: width in pixels and a letter
// for the style (s solid, d double, . dotted, - dashed, o other), with the colour unless it is
// black; "-" for none.
inline std::string BordersOf(const QTextTableCell& cell) {
    const QTextTableCellFormat format = cell.format().toTableCellFormat();
    const struct {
        double width;
        QTextFrameFormat::BorderStyle style;
        QBrush brush;
    } sides[] = {{format.topBorder(), format.topBorderStyle(), format.topBorderBrush()},
                 {format.leftBorder(), format.leftBorderStyle(), format.leftBorderBrush()},
                 {format.bottomBorder(), format.bottomBorderStyle(), format.bottomBorderBrush()},
                 {format.rightBorder(), format.rightBorderStyle(), format.rightBorderBrush()}};
    std::string out;
    for (const auto& side : sides) {
        if (!out.empty())
            out += ' ';
        if (side.width <= 0 || side.style == QTextFrameFormat::BorderStyle_None) {
            out += '-';
            continue;
        }
        out += QString::number(side.width, 'g', 3).toStdString();
        switch (side.style) {
            case QTextFrameFormat::BorderStyle_Solid:
                out += 's';
                break;
            case QTextFrameFormat::BorderStyle_Double:
                out += 'd';
                break;
            case QTextFrameFormat::BorderStyle_Dotted:
                out += '.';
                break;
            case QTextFrameFormat::BorderStyle_Dashed:
                out += '-';
                break;
            default:
                out += 'o';
                break;
        }
        if (side.brush.color() != QColor(Qt::black))
            out += side.brush.color().name().toStdString();
    }
    return out;
}

}  // namespace parcelo::test
