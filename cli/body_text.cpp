#include "body_text.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QString>

#include "body_document.h"
#include "rtf/offline_document.h"
#include "rtf/plain_text.h"

namespace parcelo {

std::string PlainTextOfBodies(const std::vector<std::string>& rtfBodies, int argc, char** argv) {
    if (rtfBodies.empty())
        return {};
    PrepareOffscreenQt();
    QGuiApplication application(argc, argv);
    OfflineTextDocument document;
    FillBodyDocument(document, rtfBodies);
    const QByteArray utf8 = PlainTextOfDocument(document).toUtf8();
    std::string text(utf8.constData(), static_cast<size_t>(utf8.size()));
    text += "\n";
    return text;
}

}  // namespace parcelo
