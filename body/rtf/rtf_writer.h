// Saving a body as RTF: the document the view shows, written so that Word, WordPad and this
// reader give back the same text and formatting.
#pragma once

#include <QByteArray>

class QTextDocument;

namespace parcelo {

// `document` as an RTF 1.x document: a font and a colour table, paragraphs with their
// alignment, indents, spacing, tab stops and background, character formatting, links as
// HYPERLINK fields, lists, tables (cell widths, merged cells, the borders the cells have,
// backgrounds, padding, tables nested in cells), the page colour when the whole document shows
// one, and pictures (as PNG). Text outside ASCII is written as \uN escapes with "?" for readers
// that do not know them. An empty document gives an RTF document with no paragraph.
QByteArray RtfFromDocument(const QTextDocument& document);

}  // namespace parcelo
