// Lines as far apart as a word processor and a browser set them.
#pragma once

class QTextDocument;

namespace parcelo {

// Sets the lines of the paragraphs of `document` from position `from` on one height of
// their font apart, or the multiple of it that the body asks for: Qt adds the font's line
// gap to the height of its ascent and descent, where Word and browsers take the height
// alone, so that text set in Calibri (Carlito) ran a sixth longer than its sender's.
void SetSingleLineSpacing(QTextDocument& document, int from);

}  // namespace parcelo
