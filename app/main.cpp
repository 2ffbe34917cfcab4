// parcelo: opens a TNEF file (winmail.dat) and shows its attachments and message.
#include <QString>
#include <QStringList>

#include <cstdio>
#include <exception>
#include <optional>

#include "parcelo_app.h"

int main(int argc, char** argv) {
    // --help and the like are answered before Qt looks for a display, so that they work
    // where there is none.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (const std::optional<int> status =
            parcelo::ParceloApp::AnswerOnTerminal(parcelo::ParceloApp::ParseCommandLine(arguments)))
        return *status;
    try {
        parcelo::ParceloApp app(argc, argv);
        return app.InitInstance();
    } catch (const std::exception& error) {
        // Only what fails before or after the window has no window to be shown in.
        std::fprintf(stderr, "parcelo: %s\n", error.what());
        return 1;
    }
}
