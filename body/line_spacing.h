// Lines as far apart as a word processor and a browser set them.
#pragma once

#include <QTextBlockFormat>

class QTextDocument;

namespace parcelo {

// Sets the lines of the paragraphs of `document` from position `from` on one height of
// their font apart, or the multiple of it that the body asks for: Qt adds the font's line
// gap to the height of its ascent and descent, where Word and browsers take the height
// alone, so that text set in Calibri (Carlito) ran a sixth longer than its sender's.
void SetSingleLineSpacing(QTextDocument& document, int from);

// Set on a paragraph whose spacing was changed so: the spacing its body gave it, as a
// percentage of a line, 0 where it gave none. Saving writes that one.
inline constexpr int kSenderLineHeightProperty = QTextFormat::UserProperty + 3;

// `format` with the line spacing its body gave it.
QTextBlockFormat SenderLineSpacing(QTextBlockFormat format);

}  // namespace parcelo
