#pragma once
// Start-up and exit of the program: one instance per user and installation,
// the hand-over of a second start's file to the first, the installation
// checks and how the first project comes about. The main window is reached
// through StartupWindow, so the whole sequence runs in tests without a
// display.
#include "app/InstanceChannel.h"
#include "app/StartupChecks.h"
#include "platform/Ui.h"

#include <string>
#include <vector>

namespace pavonia {

// The main window as start-up drives it.
class StartupWindow {
public:
    virtual ~StartupWindow() = default;
    // Restores the window when minimised and brings it to the front.
    virtual void restoreAndRaise() = 0;
    // Shows the window normally and paints it.
    virtual void showWindow() = 0;
    // OpenProjectFile: asks about unsaved changes, opens the project and
    // shows its messages; true when it was opened.
    virtual bool openProjectFile(const std::string& path) = 0;
    // The start-up dialog flow at start-up (StartupDialogFlow::run(true)).
    // False when it ended without a project; `layoutSettingsLost` then says
    // whether the layout settings file was missing (already reported).
    virtual bool runStartupDialogFlow(bool& layoutSettingsLost) = 0;
    // Reads the layout settings of the project's layout into the project;
    // false after "Ini file lost." when the file is missing.
    virtual bool readLayoutSettings() = 0;
};

class Startup {
public:
    // `arguments` are the command-line arguments after the program's name.
    Startup(std::string installationFolder, std::vector<std::string> arguments, Ui& ui);
    // Under another socket name (tests).
    Startup(std::string installationFolder, std::vector<std::string> arguments, Ui& ui, QString serverName);

    // True when this process is the first instance (it now listens for
    // later starts); false when another instance runs.
    bool becomeFirstInstance();

    // A second start: brings the first instance's window to the front, then
    // hands over the file named on the command line, after checking that it
    // is a project file (its message is shown here otherwise). Returns the
    // process's exit code: 0 when nothing was asked or the first opened the
    // file, 1 otherwise.
    int handOver();

    // The first instance, before the window exists: the installation checks.
    bool check(const StartupFolders& folders);

    // The first instance, once the main window exists: shows it, opens the
    // project named on the command line or runs the start-up dialog flow,
    // then serves later starts. False when start-up fails (the program
    // ends after the exit clean-up).
    bool start(StartupWindow& window);

    // True once start() opened the project named on the command line.
    bool openedFromCommandLine() const { return openedFromCommandLine_; }

private:
    std::string installationFolder_;
    std::string commandLine_;
    Ui& ui_;
    InstanceServer server_;
    QString serverName_;
    bool openedFromCommandLine_ = false;
};

} // namespace pavonia
