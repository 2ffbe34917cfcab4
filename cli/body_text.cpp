#include "body_text.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QString>

#include <cstdio>
#include <functional>

#include "rtf/document_html.h"
#include "rtf/message_body.h"
#include "rtf/offline_document.h"
#include "rtf/plain_text.h"

namespace parcelo {

namespace {

// `write` applied to the document of all the bodies, in UTF-8.
std::string fromBodyDocument(const std::vector<MessageBody>& bodies,
                             const ImagesByContentId& images, int argc, char** argv,
                             const std::function<QString(const QTextDocument&)>& write) {
    // Text layout needs a GUI application, but never a display; and Qt's notes about the
    // desktop it runs on have no place in a command's output.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg) {
            std::fprintf(stderr, "parcelo-extract: %s\n", message.toLocal8Bit().constData());
        }
    });
    QGuiApplication application(argc, argv);
    OfflineTextDocument document;
    document.setUndoRedoEnabled(false);
    const CidResolver resolveCid = [&](const QString& contentId) {
        const auto found = images.find(contentId.toStdString());
        return found == images.end()
                   ? QByteArray()
                   : QByteArray(found->second.data(), static_cast<qsizetype>(found->second.size()));
    };
    for (const MessageBody& body : bodies)
        AppendMessageBody(document, body.format, body.content, body.codePage, resolveCid);
    const QByteArray utf8 = write(document).toUtf8();
    return std::string(utf8.constData(), static_cast<size_t>(utf8.size()));
}

}  // namespace

std::string PlainTextOfBodies(const std::vector<MessageBody>& bodies,
                              const ImagesByContentId& images, int argc, char** argv) {
    if (bodies.empty())
        return {};
    return fromBodyDocument(bodies, images, argc, argv, [](const QTextDocument& document) {
        return PlainTextOfDocument(document) + u'\n';
    });
}

std::string HtmlOfBodies(const std::vector<MessageBody>& bodies, const ImagesByContentId& images,
                         int argc, char** argv) {
    return fromBodyDocument(bodies, images, argc, argv, [](const QTextDocument& document) {
        return SelfContainedHtml(document) + u'\n';
    });
}

}  // namespace parcelo
