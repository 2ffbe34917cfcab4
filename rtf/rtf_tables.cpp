// Tables: the row's cell edges and shading, paragraphs in a table, and the ends of cells and
// rows that the document builder turns into QTextTables.
#include "rtf_interpreter_state.h"

namespace parcelo::rtf {

void Interpreter::tableWord(Group& g, const Word& word) {
    const bool inText = g.dest == Dest::Text;
    switch (word.kw) {
        case Kw::Cell:
            if (!html() && inText)
                endCell();
            return;
        case Kw::Row:
            if (!html() && inText)
                endRow();
            return;
        case Kw::NestCell:
            emitChar(u'\t');
            return;
        case Kw::NestRow:
            if (!html() && inText)
                endParagraph(true);
            return;
        case Kw::InTable:
            g.para.inTable = word.on;
            return;
        case Kw::TableLevel:
            g.para.inTable = word.param > 0;
            return;
        case Kw::RowDefaults:
            cellEdges_.clear();
            cellBackgrounds_.clear();
            cellShading_ = -1;
            return;
        case Kw::CellShading:
            cellShading_ = word.param;
            return;
        case Kw::CellEdge:
            // A cell's properties come before its edge, and are its own.
            if (cellEdges_.size() < DocumentBuilder::kMaxColumns) {
                cellEdges_.push_back(clampTwips(word.param));
                cellBackgrounds_.push_back(colorAt(cellShading_));
            }
            cellShading_ = -1;
            return;
        default:
            return;
    }
}

void Interpreter::endCell() {
    // "text\par\cell" ends the cell's last paragraph twice; the second, empty one is not kept.
    if (!runText_.isEmpty() || !runs_.empty() || !cellHasParagraph_)
        endParagraph(true);
    builder_->endCell();
    cellHasParagraph_ = false;
}

void Interpreter::endRow() {
    if (!runText_.isEmpty() || !runs_.empty())
        endCell();
    builder_->endRow(cellEdges_, cellBackgrounds_);
    cellHasParagraph_ = false;
}

}  // namespace parcelo::rtf
