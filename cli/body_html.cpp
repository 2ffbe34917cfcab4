#include "body_html.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QString>

#include "offscreen_qt.h"
#include "rtf/body_document.h"
#include "rtf/document_html.h"
#include "rtf/offline_document.h"

namespace parcelo {

std::string HtmlOfBodies(const MessageBodies& bodies, int argc, char** argv) {
    PrepareOffscreenQt();
    QGuiApplication application(argc, argv);
    OfflineTextDocument document;
    document.setUndoRedoEnabled(false);
    FillBodyDocument(document, bodies);
    const QByteArray utf8 = SelfContainedHtml(document).toUtf8();
    std::string html(utf8.constData(), static_cast<size_t>(utf8.size()));
    html += "\n";
    return html;
}

}  // namespace parcelo
