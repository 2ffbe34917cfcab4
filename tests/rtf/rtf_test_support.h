// Helpers shared by the RTF tests: reading a body into a fresh document and finding the
// formatting of a piece of its text.
#pragma once

#include "rtf/offline_document.h"
#include "rtf/plain_text.h"
#include "rtf/rtf_reader.h"

#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

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
        return format.hasProperty(QTextFormat::BackgroundBrush)
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
            if (block.blockFormat().hasProperty(QTextFormat::BackgroundBrush))
                out += name(block.blockFormat());
        } else {
            out += name(block.blockFormat());
        }
    }
    return out;
}

}  // namespace parcelo::test
