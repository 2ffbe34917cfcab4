// A body document printed into a PDF file, with no printer and no dialog: laid out as the
// window's Print lays out a PDF file.
#pragma once

#include <QString>

#include <memory>

class QTextDocument;

namespace parcelo {

// Writes every page of `document` into the PDF file at `path` (created or truncated there),
// A4 at 1200 dots an inch with the body's margins, titled `title`. False when the file could
// not be begun or a page not added; a write that failed past that shows in the file itself.
// `document` is laid out for the file itself and is gone when this returns.
bool PrintDocumentToPdf(std::unique_ptr<QTextDocument> document, const QString& path,
                        const QString& title);

}  // namespace parcelo
