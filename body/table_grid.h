// Where the cells of a table read from a body go in a QTextTable: the columns that the
// cells' edges make, the cells merged across columns and rows, and the widths, borders,
// background and padding that Qt draws.
#pragma once

#include "body/document_builder.h"

#include <QTextTableCellFormat>
#include <QTextTableFormat>

#include <span>
#include <vector>

namespace parcelo {

// A row as read: its definition and the number of cells it holds.
struct GridRow {
    const BuiltRowFormat* format;
    int cells;
};

// A cell as read: its row, and its place in the row.
struct GridPart {
    int row;
    int cell;
};

struct GridCell {
    int row = 0;
    int column = 0;
    int rowSpan = 1;
    int columnSpan = 1;
    std::vector<GridPart> parts;  // the cells read that it shows, its own first
    QTextFormat format;           // a QTextTableCellFormat, shared by the cells that look alike
    double height = 0;            // pixels: how tall its row is at least, 0 for no height
};

struct TableGrid {
    int rows = 0;
    int columns = 0;
    QTextTableFormat format;
    std::vector<GridCell> cells;  // row by row, left to right
};

// When every cell has an edge, each distinct edge of the table's rows is a column boundary,
// so that rows with different cells keep their widths, as Word draws them; otherwise each
// cell is a column. Cells merged into the one before them (\clmrg) or above (\clvmrg) span
// its columns or rows.
TableGrid PlanTableGrid(std::span<const GridRow> rows);

// Draws `border` on `edge` of a cell; an edge of no style stays as it is.
void SetCellBorder(QTextTableCellFormat& format, BuiltEdge edge, const BuiltBorder& border);

}  // namespace parcelo
