#include "body/table_grid.h"

#include "body/lengths.h"

#include <QBrush>

#include <algorithm>
#include <array>
#include <cmath>

namespace parcelo {

namespace {

// Edges of different rows this close together make one column boundary: Word's rows often
// disagree by a few twips.
constexpr int kSnapTwips = 30;
// The narrowest cell drawn, for edges that leave less.
constexpr int kMinCellTwips = 60;
// Without widths, Qt fits the columns to their text; this much padding keeps cells apart.
constexpr double kUnsizedPadding = 3;

// A cell of a row as read, with the cells merged into it from its right.
struct RowCell {
    int firstCell = 0;
    int cells = 1;
    int left = 0;  // twips
    int right = 0;
    const BuiltCellFormat* first = nullptr;  // null for a cell that the row does not define
    const BuiltCellFormat* last = nullptr;
    bool firstInRow = false;
    bool lastInRow = false;
    int column = 0;
    int columnEnd = 0;
};

std::vector<RowCell> cellsOf(const GridRow& row) {
    std::vector<RowCell> out;
    const std::vector<BuiltCellFormat>& defined = row.format->cells;
    int edge = row.format->left;
    for (int i = 0; i < row.cells; ++i) {
        const BuiltCellFormat* format =
            static_cast<size_t>(i) < defined.size() ? &defined[i] : nullptr;
        const int left = edge;
        if (format)
            edge = std::max(format->edge, left + kMinCellTwips);
        if (format && format->horizontalMerge == BuiltMerge::Continued && !out.empty() &&
            out.back().first) {
            RowCell& merged = out.back();
            ++merged.cells;
            merged.right = edge;
            merged.last = format;
            continue;
        }
        RowCell cell;
        cell.firstCell = i;
        cell.left = left;
        cell.right = edge;
        cell.first = cell.last = format;
        out.push_back(cell);
    }
    if (!out.empty()) {
        out.front().firstInRow = true;
        out.back().lastInRow = true;
    }
    return out;
}

// Places the cells on columns made by their edges; false when some cell has no edge, or the
// edges make too many columns or a column of no width.
bool placeByEdges(std::vector<std::vector<RowCell>>& rows, std::vector<int>& boundaries) {
    std::vector<int> edges;
    for (const std::vector<RowCell>& row : rows) {
        for (const RowCell& cell : row) {
            if (!cell.first)
                return false;
            if (cell.firstInRow)
                edges.push_back(cell.left);
            edges.push_back(cell.right);
        }
    }
    std::sort(edges.begin(), edges.end());
    for (int edge : edges) {
        if (boundaries.empty() || edge > boundaries.back() + kSnapTwips)
            boundaries.push_back(edge);
    }
    if (boundaries.size() < 2 || boundaries.size() - 1 > DocumentBuilder::kMaxColumns)
        return false;
    const auto columnOf = [&boundaries](int edge) {
        const auto above = std::lower_bound(boundaries.begin(), boundaries.end(), edge);
        if (above == boundaries.begin())
            return 0;
        if (above == boundaries.end() || edge - *(above - 1) < *above - edge)
            return static_cast<int>(above - boundaries.begin()) - 1;
        return static_cast<int>(above - boundaries.begin());
    };
    for (std::vector<RowCell>& row : rows) {
        for (RowCell& cell : row) {
            cell.column = columnOf(cell.left);
            cell.columnEnd = columnOf(cell.right);
            if (cell.columnEnd <= cell.column)
                return false;
        }
    }
    return true;
}

// Each cell read on a column of its own, merged ones spanning theirs.
int placeInOrder(std::vector<std::vector<RowCell>>& rows) {
    int columns = 1;
    for (std::vector<RowCell>& row : rows) {
        int column = 0;
        for (RowCell& cell : row) {
            cell.column = column;
            column += cell.cells;
            cell.columnEnd = column;
        }
        columns = std::max(columns, column);
    }
    return columns;
}

// The widths of the columns of a table placed in order: those of the first row that defines a
// cell for each column.
QList<QTextLength> widthsInOrder(std::span<const GridRow> rows, int columns, int& left) {
    QList<QTextLength> widths;
    for (const GridRow& row : rows) {
        const std::vector<BuiltCellFormat>& cells = row.format->cells;
        if (row.cells != columns || cells.size() < static_cast<size_t>(columns))
            continue;
        left = row.format->left;
        int edge = left;
        for (int column = 0; column < columns; ++column) {
            const int right = std::max(cells[column].edge, edge + kMinCellTwips);
            widths.append(QTextLength(QTextLength::FixedLength, (right - edge) / kTwipsPerPixel));
            edge = right;
        }
        break;
    }
    return widths;
}

const BuiltBorder& borderOf(const BuiltCellFormat* cell, BuiltEdge edge, const BuiltRowFormat& row,
                            BuiltEdge rowEdge) {
    if (cell && cell->borders[edge].given)
        return cell->borders[edge];
    return row.borders[rowEdge];
}

// What a placed cell looks like; cells that look alike share one format.
struct CellLook {
    std::array<BuiltBorder, 4> borders;  // by BuiltEdge
    std::array<double, 4> padding{};     // pixels
    QColor background;
    QTextCharFormat::VerticalAlignment verticalAlignment = QTextCharFormat::AlignNormal;
    bool operator==(const CellLook&) const = default;
};

CellLook lookOf(const RowCell& top, const RowCell& bottom, const BuiltRowFormat& topRow,
                const BuiltRowFormat& bottomRow, bool firstRow, bool lastRow, bool sized) {
    CellLook look;
    look.borders[kTopEdge] =
        borderOf(top.first, kTopEdge, topRow, firstRow ? kTopEdge : kInnerHorizontalEdge);
    look.borders[kLeftEdge] =
        borderOf(top.first, kLeftEdge, topRow, top.firstInRow ? kLeftEdge : kInnerVerticalEdge);
    look.borders[kRightEdge] =
        borderOf(top.last, kRightEdge, topRow, top.lastInRow ? kRightEdge : kInnerVerticalEdge);
    look.borders[kBottomEdge] = borderOf(bottom.first, kBottomEdge, bottomRow,
                                         lastRow ? kBottomEdge : kInnerHorizontalEdge);
    if (topRow.hasPadding) {
        for (int edge = kTopEdge; edge <= kRightEdge; ++edge)
            look.padding[edge] = topRow.padding[edge] / kTwipsPerPixel;
    } else if (!sized) {
        look.padding[kLeftEdge] = look.padding[kRightEdge] = kUnsizedPadding;
    }
    // A cell's own padding wins over its row's, edge by edge.
    for (int edge = kTopEdge; edge <= kRightEdge; ++edge) {
        const BuiltCellFormat* own = edge == kRightEdge ? top.last : top.first;
        if (own && own->padding[edge] >= 0)
            look.padding[edge] = own->padding[edge] / kTwipsPerPixel;
    }
    if (top.first) {
        look.background = top.first->background;
        look.verticalAlignment = top.first->verticalAlignment;
    }
    return look;
}

QTextTableCellFormat formatOf(const CellLook& look) {
    QTextTableCellFormat format;
    for (int edge = kTopEdge; edge <= kRightEdge; ++edge)
        SetCellBorder(format, static_cast<BuiltEdge>(edge), look.borders[edge]);
    if (look.padding[kTopEdge] > 0)
        format.setTopPadding(look.padding[kTopEdge]);
    if (look.padding[kLeftEdge] > 0)
        format.setLeftPadding(look.padding[kLeftEdge]);
    if (look.padding[kBottomEdge] > 0)
        format.setBottomPadding(look.padding[kBottomEdge]);
    if (look.padding[kRightEdge] > 0)
        format.setRightPadding(look.padding[kRightEdge]);
    if (look.background.isValid())
        format.setBackground(look.background);
    if (look.verticalAlignment != QTextCharFormat::AlignNormal)
        format.setVerticalAlignment(look.verticalAlignment);
    return format;
}

}  // namespace

TableGrid PlanTableGrid(std::span<const GridRow> rows) {
    TableGrid grid;
    std::vector<std::vector<RowCell>> rowCells;
    rowCells.reserve(rows.size());
    for (const GridRow& row : rows)
        rowCells.push_back(cellsOf(row));

    QTextTableFormat& tableFormat = grid.format;
    tableFormat.setBorder(0);
    tableFormat.setBorderCollapse(true);
    tableFormat.setCellPadding(0);
    tableFormat.setCellSpacing(0);
    int left = 0;
    QList<QTextLength> widths;
    std::vector<int> boundaries;
    if (placeByEdges(rowCells, boundaries)) {
        grid.columns = static_cast<int>(boundaries.size()) - 1;
        left = boundaries.front();
        for (size_t i = 1; i < boundaries.size(); ++i)
            widths.append(QTextLength(QTextLength::FixedLength,
                                      (boundaries[i] - boundaries[i - 1]) / kTwipsPerPixel));
    } else {
        grid.columns = placeInOrder(rowCells);
        widths = widthsInOrder(rows, grid.columns, left);
    }
    if (!widths.isEmpty())
        tableFormat.setColumnWidthConstraints(widths);
    // A table cannot stand left of the text: Word's usual \trleft-108 starts it at the margin.
    if (left > 0)
        tableFormat.setLeftMargin(left / kTwipsPerPixel);
    if (!rows.empty() && rows.front().format->alignment != Qt::AlignLeft)
        tableFormat.setAlignment(rows.front().format->alignment);
    grid.rows = static_cast<int>(rows.size());

    // The cell placed on each column of the row above, to continue vertical merges.
    std::vector<int> above(grid.columns, -1);
    std::vector<int> current(grid.columns);
    // The first and the last row's cell read of each cell placed.
    std::vector<std::pair<const RowCell*, const RowCell*>> ends;
    for (int r = 0; r < grid.rows; ++r) {
        std::fill(current.begin(), current.end(), -1);
        for (const RowCell& cell : rowCells[r]) {
            const int span = cell.columnEnd - cell.column;
            const int owner = above[cell.column];
            if (cell.first && cell.first->verticalMerge == BuiltMerge::Continued && owner >= 0) {
                GridCell& merged = grid.cells[owner];
                if (merged.column == cell.column && merged.columnSpan == span &&
                    merged.row + merged.rowSpan == r) {
                    ++merged.rowSpan;
                    for (int i = 0; i < cell.cells; ++i)
                        merged.parts.push_back({r, cell.firstCell + i});
                    ends[owner].second = &cell;
                    std::fill(current.begin() + cell.column, current.begin() + cell.columnEnd,
                              owner);
                    continue;
                }
            }
            GridCell placed;
            placed.row = r;
            placed.column = cell.column;
            placed.columnSpan = span;
            for (int i = 0; i < cell.cells; ++i)
                placed.parts.push_back({r, cell.firstCell + i});
            const int index = static_cast<int>(grid.cells.size());
            grid.cells.push_back(std::move(placed));
            ends.emplace_back(&cell, &cell);
            std::fill(current.begin() + cell.column, current.begin() + cell.columnEnd, index);
        }
        std::swap(above, current);
    }

    // Borders and the rest, now that each cell's last row is known.
    CellLook previous;
    QTextTableCellFormat format;
    for (size_t i = 0; i < grid.cells.size(); ++i) {
        GridCell& cell = grid.cells[i];
        const int lastRow = cell.row + cell.rowSpan - 1;
        const CellLook look =
            lookOf(*ends[i].first, *ends[i].second, *rows[cell.row].format, *rows[lastRow].format,
                   cell.row == 0, lastRow == grid.rows - 1, !widths.isEmpty());
        if (i == 0 || !(look == previous)) {
            format = formatOf(look);
            previous = look;
        }
        cell.format = format;
        if (cell.rowSpan == 1)
            cell.height = std::abs(rows[cell.row].format->height) / kTwipsPerPixel;
    }
    return grid;
}

void SetCellBorder(QTextTableCellFormat& format, BuiltEdge edge, const BuiltBorder& border) {
    if (border.style == QTextFrameFormat::BorderStyle_None)
        return;
    // Qt draws no line thinner than a pixel, and needs three for the two of a double one.
    double width = std::max(border.width / kTwipsPerPixel, 1.0);
    if (border.style == QTextFrameFormat::BorderStyle_Double)
        width = std::max(std::round(width * 3), 3.0);
    const QBrush brush(border.color.isValid() ? border.color : QColor(Qt::black));
    switch (edge) {
        case kTopEdge:
            format.setTopBorder(width);
            format.setTopBorderStyle(border.style);
            format.setTopBorderBrush(brush);
            break;
        case kLeftEdge:
            format.setLeftBorder(width);
            format.setLeftBorderStyle(border.style);
            format.setLeftBorderBrush(brush);
            break;
        case kBottomEdge:
            format.setBottomBorder(width);
            format.setBottomBorderStyle(border.style);
            format.setBottomBorderBrush(brush);
            break;
        default:
            format.setRightBorder(width);
            format.setRightBorderStyle(border.style);
            format.setRightBorderBrush(brush);
            break;
    }
}

}  // namespace parcelo
