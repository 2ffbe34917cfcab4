// Pictures of the window under a light and a dark desktop theme, for a person to look at: the
// window showing a TNEF file (theme-light.png, theme-dark.png) and the About box under the
// dark theme (theme-about-dark.png). The theme changes while the window is open, as a
// desktop's does. Run under a display (scripts/theme-screenshot.sh).
// Usage: theme_shot FILE OUT_DIR
#include <QApplication>
#include <QDir>
#include <QTimer>

#include <cstdio>

#include "controls/about_dialog.h"
#include "main_dialog.h"
#include "theme_palettes.h"

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
        std::fputs("usage: theme_shot FILE OUT_DIR\n", stderr);
        return 2;
    }
    const QDir out(arguments[2]);
    QApplication::setPalette(parcelo::testing::DesktopPalette(false));
    parcelo::MainDialog dialog;
    dialog.fileName = arguments[1];
    QObject::connect(&dialog, &parcelo::MainDialog::initialLoadFinished, &dialog, [&] {
        QTimer::singleShot(300, &dialog, [&] {
            Save(dialog.grab(), out.filePath(QStringLiteral("theme-light.png")));
            QApplication::setPalette(parcelo::testing::DesktopPalette(true));
            Settle(300);
            Save(dialog.grab(), out.filePath(QStringLiteral("theme-dark.png")));
            parcelo::AboutDialog about(&dialog);
            about.show();
            Settle(300);
            Save(about.grab(), out.filePath(QStringLiteral("theme-about-dark.png")));
            about.close();
            dialog.reject();
        });
    });
    dialog.exec();
    return 0;
}
