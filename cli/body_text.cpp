#include "body_text.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QString>

#include <cstdio>

#include "rtf/plain_text.h"

namespace parcelo {

std::string PlainTextOfBodies(const std::vector<std::string>& rtfBodies, int argc, char** argv) {
    // Text layout needs a GUI application, but never a display; and Qt's notes about the
    // desktop it runs on have no place in a command's output.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg) {
            std::fprintf(stderr, "parcelo-extract: %s\n", message.toLocal8Bit().constData());
        }
    });
    QGuiApplication application(argc, argv);
    std::string text;
    for (const std::string& rtf : rtfBodies) {
        if (!text.empty())
            text += "\n";
        const QByteArray utf8 = PlainTextOfRtf(rtf).toUtf8();
        text.append(utf8.constData(), static_cast<size_t>(utf8.size()));
        text += "\n";
    }
    return text;
}

}  // namespace parcelo
