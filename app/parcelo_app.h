// The application: reads the command line and runs the main window until it ends.
#pragma once

#include <QApplication>
#include <QString>
#include <QStringList>

#include <optional>

namespace parcelo {

struct CommandLine {
    QString fileName;     // the first argument that is not a switch; empty when none
    QString screenshot;   // --screenshot=PATH: save a picture of the window and end
    bool timing = false;  // --timing: report when the window appeared and how long the load took
    // Answered on the terminal, with no window; reading stops at the first of them.
    bool help = false;
    bool version = false;
    QString unknownOption;  // the first switch that neither the window nor Qt knows
};

class ParceloApp : public QApplication {
    Q_OBJECT

  public:
    ParceloApp(int& argc, char** argv);

    // Runs the main window with the file of the command line and returns the exit status.
    int InitInstance();

    // A switch begins with "-"; "--" makes the next argument a file whatever it begins with.
    // Qt's own switches are let through for QApplication to take.
    static CommandLine ParseCommandLine(const QStringList& arguments);

    // Answers --help, --version and an unknown switch on the terminal, before any window or
    // display is needed, and gives the exit status; none when the window is to run.
    static std::optional<int> AnswerOnTerminal(const CommandLine& line);

    // An exception out of an event handler is shown, and the window goes on, rather than
    // ending the program with the user's work in it.
    bool notify(QObject* receiver, QEvent* event) override;

  private:
    int runWindow();
};

}  // namespace parcelo
