#include "body_text.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QString>

#include "rtf/offline_document.h"
#include "rtf/plain_text.h"

namespace parcelo {

std::string PlainTextOfBodies(const MessageBodies& bodies, int argc, char** argv) {
    if (bodies.bodies.empty() && bodies.cards.empty())
        return {};
    PrepareOffscreenQt();
    QGuiApplication application(argc, argv);
    OfflineTextDocument document;
    document.setUndoRedoEnabled(false);
    FillBodyDocument(document, bodies);
    const QByteArray utf8 = PlainTextOfDocument(document).toUtf8();
    std::string text(utf8.constData(), static_cast<size_t>(utf8.size()));
    text += "\n";
    return text;
}

}  // namespace parcelo
