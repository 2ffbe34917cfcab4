#include "body_html.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QString>

#include "offscreen_qt.h"
#include "body/body_document.h"
#include "body/html/document_html.h"
#include "body/offline_document.h"

namespace parcelo {

std::string HtmlOfBodies(const MessageBodies& bodies, int argc, char** argv) {
    PrepareOffscreenQt();
    QGuiApplication application(argc, argv);
    OfflineTextDocument document;
    document.setUndoRedoEnabled(false);
    BuildBodyDocument(document, bodies);
    const QByteArray utf8 = SelfContainedHtml(document).toUtf8();
    std::string html(utf8.constData(), static_cast<size_t>(utf8.size()));
    html += "\n";
    return html;
}

}  // namespace parcelo
