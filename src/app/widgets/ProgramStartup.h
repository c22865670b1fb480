#pragma once
// The desktop program from its start to its end: decides whether it is the
// first instance on its installation (a later start hands its file over and
// ends), checks the installation, claims its working folder, builds the
// project and the main window, opens the project named on the command line
// or runs the start-up dialog, and runs the event loop. Leaving run() is the
// exit clean-up: the window, the project and the process's working folder
// go, and the socket later starts look for is closed.
#include <QStringList>

namespace pavonia {

class ProgramStartup {
public:
    // `arguments` as QApplication::arguments() gives them (the program's
    // name first).
    explicit ProgramStartup(QStringList arguments);
    // Returns the process's exit code.
    int run();

private:
    QStringList arguments_;
};

} // namespace pavonia
