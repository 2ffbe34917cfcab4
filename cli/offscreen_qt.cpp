#include "body_document.h"

#include <QByteArray>
#include <QString>
#include <QTextDocument>

#include <cstdio>

#include "rtf/message_body.h"

namespace parcelo {

void FillBodyDocument(QTextDocument& document, const MessageBodies& bodies) {
    const CidResolver resolveCid = [&](const QString& contentId) {
        const auto found = bodies.attachmentsByContentId.find(contentId.toStdString());
        if (found == bodies.attachmentsByContentId.end())
            return QByteArray();
        return QByteArray(found->second.data(), static_cast<qsizetype>(found->second.size()));
    };
    for (const MessageBody& body : bodies.bodies)
        AppendMessageBody(document, body.format, body.content, body.codePage, resolveCid);
}

void PrepareOffscreenQt() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg) {
            std::fprintf(stderr, "parcelo-extract: %s\n", message.toLocal8Bit().constData());
        }
    });
}

}  // namespace parcelo
