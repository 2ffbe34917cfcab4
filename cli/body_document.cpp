#include "body_document.h"

#include <QByteArray>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdio>

#include "rtf/rtf_reader.h"

namespace parcelo {

void FillBodyDocument(QTextDocument& document, const std::vector<std::string>& bodies) {
    for (const std::string& rtf : bodies) {
        if (!document.isEmpty()) {
            // As the window does: a paragraph of its own, not an item of a list that ended
            // the previous body.
            QTextCursor end(&document);
            end.movePosition(QTextCursor::End);
            end.insertBlock(QTextBlockFormat(), QTextCharFormat());
        }
        AppendRtf(document, rtf);
    }
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
