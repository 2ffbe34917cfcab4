// HTML text in the fonts a browser would draw it in: the first installed family of its
// list, a browser's default (12 pt serif) for text that names none, and the regular weight
// where a light face lacks the letters.
#pragma once

class QTextDocument;

namespace parcelo {

// Gives the text of `document` from position `from` on the fonts a browser would choose.
// The families the sender named stay on each format (SenderFontFamilies) for saving.
void SetBrowserFonts(QTextDocument& document, int from);

}  // namespace parcelo
