#include "offscreen_qt.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstdio>

namespace parcelo {

void PrepareOffscreenQt() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg) {
            std::fprintf(stderr, "parcelo-extract: %s\n", message.toLocal8Bit().constData());
        }
    });
}

}  // namespace parcelo
