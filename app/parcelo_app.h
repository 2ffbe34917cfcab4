// The application: reads the command line and runs the main window until it ends.
#pragma once

#include <QApplication>
#include <QString>
#include <QStringList>

namespace parcelo {

struct CommandLine {
    QString fileName;     // the first argument that is not a switch; empty when none
    QString screenshot;   // --screenshot=PATH: save a picture of the window and end
    bool timing = false;  // --timing: report when the window appeared and how long the load took
};

class ParceloApp : public QApplication {
    Q_OBJECT

  public:
    ParceloApp(int& argc, char** argv);

    // Runs the main window with the file of the command line and returns the exit status.
    int InitInstance();

    // A switch begins with "-"; "--" makes the next argument a file whatever it begins with.
    static CommandLine ParseCommandLine(const QStringList& arguments);
};

}  // namespace parcelo
