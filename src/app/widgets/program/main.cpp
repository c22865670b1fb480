// pavonia: the desktop program. Opens the main window over a project of its
// own in the installation of the program file.
#include "app/ProjectSession.h"
#include "app/Workplace.h"
#include "app/widgets/MainWindow.h"
#include "app/widgets/QtUi.h"
#include "platform/DesktopShell.h"
#include "platform/StringTable.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char** argv)
{
    using namespace pavonia;
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromStdString(StringTable::text(str::AppTitle)));

    QtUi ui;
    // Lives until the program ends: the process's working folder goes with it.
    Workplace place;
    if (const std::string problem = place.open(programFolder()); !problem.empty()) {
        showMessage(ui, problem);
        return 1;
    }
    ProjectSession session(place, ui);
    DesktopShell shell;
    MainWindow window(session, shell);
    ui.setParent(&window);
    window.show();
    return application.exec();
}
