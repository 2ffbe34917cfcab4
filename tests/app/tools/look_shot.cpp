// Pictures of the window's look, for a person to look at: the whole screen with the window
// showing a TNEF file (look-screen.png), the window itself (look-window.png), the window with
// the mouse over the Close button (look-hover.png) and with the keyboard focus moved by Tab
// onto the Browse button (look-focus.png). Run under a display (scripts/look-screenshot.sh);
// QT_SCALE_FACTOR=2 shows the twice-size art.
// Usage: look_shot FILE OUT_DIR
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <cstdio>

#include "dialog_template.h"
#include "main_dialog.h"

namespace {

void Settle(int milliseconds) {
    QTimer wait;
    wait.setSingleShot(true);
    wait.start(milliseconds);
    while (wait.isActive())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

void Save(const QPixmap& picture, const QString& path) {
    if (picture.save(path))
        std::printf("wrote %s\n", qPrintable(path));
    else
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 3) {
        std::fputs("usage: look_shot FILE OUT_DIR\n", stderr);
        return 2;
    }
    const QDir out(arguments[2]);
    parcelo::MainDialog dialog;
    dialog.fileName = arguments[1];
    QObject::connect(&dialog, &parcelo::MainDialog::initialLoadFinished, &dialog, [&] {
        QTimer::singleShot(300, &dialog, [&] {
            Save(QGuiApplication::primaryScreen()->grabWindow(0),
                 out.filePath(QStringLiteral("look-screen.png")));
            Save(dialog.grab(), out.filePath(QStringLiteral("look-window.png")));

            // The real pointer, moved onto the button by the display server.
            QWidget* close = dialog.control(parcelo::kIdcClose);
            QCursor::setPos(close->mapToGlobal(close->rect().center()));
            Settle(300);
            Save(dialog.grab(), out.filePath(QStringLiteral("look-hover.png")));
            QCursor::setPos(dialog.mapToGlobal(QPoint(dialog.width() / 2, 5)));
            Settle(300);

            dialog.fileNameField()->setFocus(Qt::OtherFocusReason);
            QTest::keyClick(dialog.fileNameField(), Qt::Key_Tab);
            Settle(300);
            Save(dialog.grab(), out.filePath(QStringLiteral("look-focus.png")));
            dialog.reject();
        });
    });
    dialog.exec();
    return 0;
}
