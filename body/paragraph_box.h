// The box Word draws around bordered paragraphs, as the table of one cell that shows it.
#pragma once

#include "body/document_builder.h"

#include <QTextTableCellFormat>
#include <QTextTableFormat>

namespace parcelo {

// A table as wide as the text less `left` and `right` (pixels), drawing no line of its own.
QTextTableFormat ParagraphBoxFormat(double left, double right);

// The cell's lines, each `space` from the text, which touches the edges that have none.
QTextTableCellFormat ParagraphBoxCellFormat(const BuiltParagraphBorders& borders);

}  // namespace parcelo
