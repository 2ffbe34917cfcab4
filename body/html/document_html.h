// A body document as one HTML file that needs nothing beside it.
#pragma once

#include <QString>

class QTextDocument;

namespace parcelo {

// `document` in Qt's own HTML export (tables with their borders and spans, colours, lists),
// each picture written into its <img> as a data: URI. Nothing in it names a file or a
// server but the body's own web and mail links (http, https, mailto, as the window opens
// them; other links keep their text only); a picture whose image the document does not
// hold is left out.
QString SelfContainedHtml(const QTextDocument& document);

}  // namespace parcelo
