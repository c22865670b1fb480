// pavonia: the desktop program. `pavonia [PROJECT.pvp]` opens the main window
// over a project of its own in the installation of the program file, or
// hands the project to the program already running on that installation.
#include "app/widgets/ProgramStartup.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    return pavonia::ProgramStartup(QApplication::arguments()).run();
}
