#include "body/paragraph_box.h"

#include "body/lengths.h"
#include "body/table_grid.h"

#include <QTextLength>

namespace parcelo {

QTextTableFormat ParagraphBoxFormat(double left, double right) {
    QTextTableFormat format;
    format.setBorder(0);
    format.setBorderCollapse(true);
    format.setCellPadding(0);
    format.setCellSpacing(0);
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    if (left > 0)
        format.setLeftMargin(left);
    if (right > 0)
        format.setRightMargin(right);
    return format;
}

QTextTableCellFormat ParagraphBoxCellFormat(const BuiltParagraphBorders& borders) {
    QTextTableCellFormat format;
    format.setTopPadding(0);
    format.setLeftPadding(0);
    format.setBottomPadding(0);
    format.setRightPadding(0);
    for (int edge = kTopEdge; edge <= kRightEdge; ++edge) {
        const BuiltBorder& border = borders.edges[edge];
        if (border.style == QTextFrameFormat::BorderStyle_None)
            continue;
        SetCellBorder(format, static_cast<BuiltEdge>(edge), border);
        const double space = borders.space[edge] / kTwipsPerPixel;
        switch (edge) {
            case kTopEdge:
                format.setTopPadding(space);
                break;
            case kLeftEdge:
                format.setLeftPadding(space);
                break;
            case kBottomEdge:
                format.setBottomPadding(space);
                break;
            default:
                format.setRightPadding(space);
                break;
        }
    }
    return format;
}

}  // namespace parcelo
