// Tables: row definitions (cell edges, borders, shading, merges, padding, heights) for each level
// of nesting, paragraphs in a table, and the ends of cells and rows that the document builder turns
// into QTextTables. The border words describe the borders of paragraphs too.
#include "body/rtf/rtf_interpreter_state.h"

namespace parcelo::rtf {

namespace {

int tableLevelOf(int param) {
    return std::clamp(param, 0, DocumentBuilder::kMaxTableDepth);
}

}  // namespace

void Interpreter::tableWord(Group& g, const Word& word) {
    const bool inText = g.dest == Dest::Text;
    switch (word.kw) {
        case Kw::Cell:
            if (!html() && inText)
                endCell(1);
            return;
        case Kw::Row:
            if (!html() && inText)
                endRow(1);
            return;
        case Kw::NestCell:
            // Only a paragraph of a nested table can end a nested cell; elsewhere the word
            // keeps the cells apart as a tab did before nested tables were read.
            if (!html() && inText && g.para.tableLevel >= 2)
                endCell(g.para.tableLevel);
            else
                emitChar(u'\t');
            return;
        case Kw::NestRow:
            if (html() || !inText)
                return;
            if (g.para.tableLevel >= 2)
                endRow(g.para.tableLevel);
            else
                endParagraph(g.para.tableLevel);
            return;
        case Kw::NestTableProps:
            g.nestTableProps = true;
            return;
        case Kw::InTable:
            g.para.tableLevel = word.on ? std::max(g.para.tableLevel, 1) : 0;
            return;
        case Kw::TableLevel:
            g.para.tableLevel = tableLevelOf(word.param);
            return;
        case Kw::RowDefaults:
            rowDefinition(g) = RowDefinition{};
            cellFormat_ = {};
            cellPaddingInTwips_ = {};
            borderOwner_ = BorderOwner::None;
            return;
        case Kw::CellEdge: {
            // A cell's properties come before its edge, and are its own.
            BuiltRowFormat& row = rowDefinition(g).format;
            if (row.cells.size() < DocumentBuilder::kMaxColumns) {
                cellFormat_.edge = clampTwips(word.param);
                for (int edge = kTopEdge; edge <= kRightEdge; ++edge) {
                    if (!cellPaddingInTwips_[edge])
                        cellFormat_.padding[edge] = -1;
                }
                row.cells.push_back(cellFormat_);
            }
            cellFormat_ = {};
            cellPaddingInTwips_ = {};
            borderOwner_ = BorderOwner::None;
            return;
        }
        case Kw::CellShading:
            cellFormat_.background = colorAt(word.param);
            return;
        case Kw::CellMerge:
            cellFormat_.horizontalMerge = static_cast<BuiltMerge>(word.arg);
            return;
        case Kw::CellVerticalMerge:
            cellFormat_.verticalMerge = static_cast<BuiltMerge>(word.arg);
            return;
        case Kw::CellVerticalAlign:
            cellFormat_.verticalAlignment =
                static_cast<QTextCharFormat::VerticalAlignment>(word.arg);
            return;
        case Kw::RowLeft:
            rowDefinition(g).format.left = clampTwips(word.param);
            return;
        case Kw::RowAlign:
            rowDefinition(g).format.alignment = static_cast<Qt::Alignment>(word.arg);
            return;
        case Kw::RowGap:
            rowDefinition(g).gap = std::clamp(word.param, 0, kMaxTwips);
            return;
        case Kw::RowPadding:
            rowDefinition(g).padding[word.arg] = std::clamp(word.param, 0, kMaxTwips);
            return;
        case Kw::RowPaddingUnit:
            // 3 is twips; 0 says the padding is not given.
            rowDefinition(g).paddingInTwips[word.arg] = word.param == 3;
            return;
        case Kw::RowHeight:
            rowDefinition(g).format.height = clampTwips(word.param);
            return;
        case Kw::CellPadding:
            cellFormat_.padding[word.arg] = std::clamp(word.param, 0, kMaxTwips);
            return;
        case Kw::CellPaddingUnit:
            // As for rows: 3 is twips, 0 says the padding is not given.
            cellPaddingInTwips_[word.arg] = word.param == 3;
            return;
        case Kw::CellBorder:
            borderOwner_ = BorderOwner::Cell;
            borderEdge_ = static_cast<uint8_t>(word.arg);
            borderThick_ = false;
            cellFormat_.borders[word.arg] = BuiltBorder{};
            cellFormat_.borders[word.arg].given = true;
            return;
        case Kw::RowBorder: {
            RowDefinition& row = rowDefinition(g);
            borderOwner_ = BorderOwner::Row;
            borderEdge_ = static_cast<uint8_t>(word.arg);
            borderLevel_ = static_cast<int>(&row - rowDefinitions_.data());
            borderThick_ = false;
            row.format.borders[word.arg] = BuiltBorder{};
            row.format.borders[word.arg].given = true;
            return;
        }
        case Kw::ParagraphBorder:
            borderOwner_ = BorderOwner::Paragraph;
            borderEdge_ = static_cast<uint8_t>(word.arg);
            borderThick_ = false;
            changeParagraphBorders(g, [&](BuiltParagraphBorders& borders) {
                for (int edge = kTopEdge; edge <= kRightEdge; ++edge) {
                    if (word.arg == kBoxEdges || word.arg == edge) {
                        borders.edges[edge] = BuiltBorder{};
                        borders.edges[edge].given = true;
                        borders.space[edge] = 0;
                    }
                }
            });
            return;
        case Kw::BorderSpace:
            if (borderOwner_ != BorderOwner::Paragraph)
                return;
            changeParagraphBorders(g, [&](BuiltParagraphBorders& borders) {
                for (int edge = kTopEdge; edge <= kRightEdge; ++edge) {
                    if (borderEdge_ == kBoxEdges || borderEdge_ == edge)
                        borders.space[edge] = std::clamp(word.param, 0, kMaxTwips);
                }
            });
            return;
        case Kw::OtherBorder:
            borderOwner_ = BorderOwner::None;
            return;
        case Kw::BorderStyle: {
            const bool thick = (word.arg & kThickBorder) != 0;
            changeBorder(g, [&](BuiltBorder& border) {
                border.style = static_cast<QTextFrameFormat::BorderStyle>(word.arg & 0xff);
                if (thick && !borderThick_)
                    border.width *= 2;
            });
            borderThick_ = thick;
            return;
        }
        case Kw::BorderWidth:
            changeBorder(g, [&](BuiltBorder& border) {
                border.width = std::clamp(word.param, 0, 255) * (borderThick_ ? 2 : 1);
            });
            return;
        case Kw::BorderColor:
            changeBorder(g, [&](BuiltBorder& border) { border.color = colorAt(word.param); });
            return;
        default:
            return;
    }
}

// The definition that row words change: a nested table's in \nesttableprops, where Word
// gives them just before the row's end, and otherwise the outermost table's.
Interpreter::RowDefinition& Interpreter::rowDefinition(const Group& g) {
    const int level = g.nestTableProps ? std::max(g.para.tableLevel, 2) : 1;
    if (rowDefinitions_.size() < static_cast<size_t>(level))
        rowDefinitions_.resize(level);
    return rowDefinitions_[level - 1];
}

BuiltBorder* Interpreter::currentBorder() {
    switch (borderOwner_) {
        case BorderOwner::Cell:
            return &cellFormat_.borders[borderEdge_];
        case BorderOwner::Row:
            return &rowDefinitions_[borderLevel_].format.borders[borderEdge_];
        case BorderOwner::Paragraph:
        case BorderOwner::None:
            break;
    }
    return nullptr;
}

// A paragraph's borders are one of the body's few distinct sets of them, which groups copy
// as they open; a change makes or finds the set that the paragraph then has.
template <typename Change>
void Interpreter::changeParagraphBorders(Group& g, Change change) {
    BuiltParagraphBorders borders = borderSets_[g.para.borderSet];
    change(borders);
    const auto found = std::find(borderSets_.begin(), borderSets_.end(), borders);
    if (found != borderSets_.end()) {
        g.para.borderSet = static_cast<int>(found - borderSets_.begin());
    } else if (borderSets_.size() < kMaxBorderSets) {
        g.para.borderSet = static_cast<int>(borderSets_.size());
        borderSets_.push_back(borders);
    }
}

// Changes the border that the last border word named. The words after \box describe all four
// of its edges alike.
template <typename Change>
void Interpreter::changeBorder(Group& g, Change change) {
    if (borderOwner_ != BorderOwner::Paragraph) {
        if (BuiltBorder* border = currentBorder())
            change(*border);
        return;
    }
    changeParagraphBorders(g, [&](BuiltParagraphBorders& borders) {
        for (int edge = kTopEdge; edge <= kRightEdge; ++edge) {
            if (borderEdge_ == kBoxEdges || borderEdge_ == edge)
                change(borders.edges[edge]);
        }
    });
}

void Interpreter::endCell(int level) {
    // "text\par\cell" ends the cell's last paragraph twice; the second, empty one is not kept.
    if (!runText_.isEmpty() || !runs_.empty() || !cellHasParagraph_[level])
        endParagraph(level);
    builder_->endCell(level);
    cellHasParagraph_[level] = false;
}

void Interpreter::endRow(int level) {
    if (!runText_.isEmpty() || !runs_.empty())
        endCell(level);
    BuiltRowFormat format;
    if (rowDefinitions_.size() >= static_cast<size_t>(level)) {
        const RowDefinition& definition = rowDefinitions_[level - 1];
        format = definition.format;
        for (int edge = kTopEdge; edge <= kRightEdge; ++edge) {
            int padding = definition.paddingInTwips[edge] ? definition.padding[edge] : -1;
            if (padding < 0 && (edge == kLeftEdge || edge == kRightEdge))
                padding = definition.gap;
            if (padding >= 0) {
                format.padding[edge] = padding;
                format.hasPadding = true;
            }
        }
    }
    builder_->endRow(level, format);
    cellHasParagraph_[level] = false;
}

}  // namespace parcelo::rtf
