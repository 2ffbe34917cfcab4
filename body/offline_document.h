// The document for the body view: it shows only the resources the reader put into it.
#pragma once

#include <QFont>
#include <QTextDocument>

namespace parcelo {

// QTextDocument reads any local file that a document names as an image or style sheet. The
// reader already removes such names from bodies; this document is the second line: a name it
// does not hold stays empty.
class OfflineTextDocument : public QTextDocument {
  public:
    using QTextDocument::QTextDocument;

    // Sets the font of text that names none. Text is laid out without ligatures: a PDF
    // printed from the body holds a ligature as one glyph, and text copied from it loses
    // the letters ("attachments" reads "aachments"). Latin text needs no shaping.
    void setBodyFont(QFont font);

  protected:
    QVariant loadResource(int type, const QUrl& name) override;
};

}  // namespace parcelo
