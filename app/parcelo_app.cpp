#include "parcelo_app.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QMenu>
#include <QMessageBox>
#include <QPixmap>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <exception>

#include "main_dialog.h"
#include "quit_signal_watcher.h"
#include "string_table.h"
#include "window_place.h"

namespace parcelo {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "Usage: parcelo [--timing] [--screenshot=PATH] [--] [FILE]\n"
    "\n"
    "Opens a TNEF file (winmail.dat) and shows its attachments and message body.\n"
    "\n"
    "  --screenshot=PATH  save a picture of the window once FILE is shown, then end\n"
    "  --timing           report on standard error when the window appeared and how\n"
    "                     long loading FILE took\n"
    "  --help             show this help\n"
    "  --version          show the version\n"
    "\n"
    "Qt's own options (-platform, -style, ...) are passed on to Qt.\n";

// Qt's switches that QApplication takes out of the arguments (those of its X11 platform
// among them), and of those the ones that take the next argument as their value. Either
// may also be written with "--" or as "-name=value".
constexpr const char* kQtSwitchesWithValue[] = {"platform",
                                                "platformpluginpath",
                                                "platformtheme",
                                                "plugin",
                                                "qwindowgeometry",
                                                "qwindowicon",
                                                "qwindowtitle",
                                                "geometry",
                                                "title",
                                                "icon",
                                                "session",
                                                "style",
                                                "stylesheet",
                                                "display",
                                                "name",
                                                "visual",
                                                "ncols",
                                                "cmap",
                                                "im",
                                                "inputstyle",
                                                "qmljsdebugger"};
constexpr const char* kQtFlags[] = {"reverse", "widgetcount", "nograb",
                                    "dograb",  "sync",        "testability"};

bool IsIn(const QString& name, const auto& names) {
    for (const char* known : names) {
        if (name == QLatin1String(known))
            return true;
    }
    return false;
}

// Said on standard error and, while there is a screen to say it on, in a message box.
void ShowUnexpectedError(const std::exception& error) {
    std::fprintf(stderr, "parcelo: %s\n", error.what());
    // The box runs events of its own: one that throws again is told on the terminal only.
    static bool showing = false;
    if (showing)
        return;
    showing = true;
    QMessageBox::critical(
        QApplication::activeWindow(), QString::fromLatin1(kAppNameText),
        QString::fromLatin1(kUnexpectedErrorText).arg(QString::fromLocal8Bit(error.what())));
    showing = false;
}

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
        if (argument.size() > 1 && argument.startsWith(u'-')) {
            if (argument.startsWith(QLatin1String("--screenshot="))) {
                line.screenshot = argument.mid(int(qstrlen("--screenshot=")));
                continue;
            }
            if (argument == QLatin1String("--timing")) {
                line.timing = true;
                continue;
            }
            if (argument == QLatin1String("--help")) {
                line.help = true;
                break;
            }
            if (argument == QLatin1String("--version")) {
                line.version = true;
                break;
            }
            const QString name =
                argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1).section(u'=', 0, 0);
            if (IsIn(name, kQtFlags))
                continue;
            if (IsIn(name, kQtSwitchesWithValue)) {
                if (!argument.contains(u'='))
                    ++i;
                continue;
            }
            line.unknownOption = argument;
            break;
        }
        if (!haveFile) {
            line.fileName = argument;
            haveFile = true;
        }
    }
    return line;
}

std::optional<int> ParceloApp::AnswerOnTerminal(const CommandLine& line) {
    if (line.help) {
        std::fputs(kUsage, stdout);
        return std::fflush(stdout) == 0 ? kExitOk : 1;
    }
    if (line.version) {
        std::printf("parcelo %s\n", PARCELO_VERSION);
        return std::fflush(stdout) == 0 ? kExitOk : 1;
    }
    if (!line.unknownOption.isEmpty()) {
        std::fprintf(stderr, "parcelo: unknown option %s\n", qPrintable(line.unknownOption));
        std::fputs("Try 'parcelo --help' for more information.\n", stderr);
        return kExitUsage;
    }
    return std::nullopt;
}

bool ParceloApp::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowUnexpectedError(error);
        return false;
    }
}

int ParceloApp::InitInstance() {
    try {
        return runWindow();
    } catch (const std::exception& error) {
        ShowUnexpectedError(error);
        return 1;
    }
}

int ParceloApp::runWindow() {
    // main() has answered --help and the like before the application existed.
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

    // A screenshot shows the window at its template's size, whatever the last run left.
    if (line.screenshot.isEmpty()) {
        RestoreWindowPlace(dialog);
        connect(&dialog, &QDialog::finished, &dialog, [&dialog] { StoreWindowPlace(dialog); });
    }
    dialog.exec();
    return 0;
}

}  // namespace parcelo
