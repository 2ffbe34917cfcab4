#include "parcelo_app.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QMenu>
#include <QPixmap>
#include <QTimer>

#include <chrono>
#include <cstdio>

#include "main_dialog.h"
#include "quit_signal_watcher.h"

namespace parcelo {

namespace {

long long WallClockNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

}  // namespace

ParceloApp::ParceloApp(int& argc, char** argv) : QApplication(argc, argv) {
    QIcon icon;
    for (int size : {16, 32, 64})
        icon.addFile(QStringLiteral(":/parcelo/parcelo-%1.png").arg(size), QSize(size, size));
    setWindowIcon(icon);
    setDesktopFileName(QStringLiteral("parcelo"));
}

CommandLine ParceloApp::ParseCommandLine(const QStringList& arguments) {
    CommandLine line;
    bool haveFile = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--")) {
            if (!haveFile && i + 1 < arguments.size()) {
                line.fileName = arguments[i + 1];
                haveFile = true;
            }
            break;
        }
        if (argument.startsWith(u'-')) {
            if (argument.startsWith(QLatin1String("--screenshot=")))
                line.screenshot = argument.mid(int(qstrlen("--screenshot=")));
            else if (argument == QLatin1String("--timing"))
                line.timing = true;
            continue;  // other switches are ignored
        }
        if (!haveFile) {
            line.fileName = argument;
            haveFile = true;
        }
    }
    return line;
}

int ParceloApp::InitInstance() {
    const CommandLine line = ParseCommandLine(arguments());

    MainDialog dialog;
    dialog.fileName = line.fileName;

    // SIGINT, SIGTERM and SIGHUP end the window as its close box does.
    QuitSignalWatcher quitSignals;
    connect(&quitSignals, &QuitSignalWatcher::quitRequested, &dialog, [&dialog] {
        // A message box or file dialog of the window goes first, so that its own event loop
        // returns and the window's can end.
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window != &dialog && window->isVisible() &&
                (qobject_cast<QDialog*>(window) || qobject_cast<QMenu*>(window)))
                window->close();
        }
        dialog.reject();
    });

    QElapsedTimer sinceShown;
    if (line.timing) {
        connect(&dialog, &MainDialog::firstPainted, &dialog, [&] {
            std::fprintf(stderr, "parcelo: shown at %lld ns\n", WallClockNanoseconds());
            sinceShown.start();
        });
    }
    if (line.timing || !line.screenshot.isEmpty()) {
        connect(&dialog, &MainDialog::initialLoadFinished, &dialog, [&](int result) {
            if (line.timing)
                std::fprintf(stderr, "parcelo: loaded in %lld ms (result %d)\n",
                             sinceShown.isValid() ? sinceShown.elapsed() : -1LL, result);
            // Let the filled views paint before the picture is taken.
            QTimer::singleShot(200, &dialog, [&] {
                if (!line.screenshot.isEmpty() && !dialog.grab().save(line.screenshot))
                    std::fprintf(stderr, "parcelo: cannot write %s\n", qPrintable(line.screenshot));
                dialog.reject();
            });
        });
    }

    dialog.exec();
    return 0;
}

}  // namespace parcelo
