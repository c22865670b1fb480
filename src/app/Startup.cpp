#include "app/Startup.h"

#include "app/CommandLine.h"

namespace pavonia {

Startup::Startup(std::string installationFolder, std::vector<std::string> arguments, Ui& ui)
    : Startup(installationFolder, std::move(arguments), ui, instanceServerName(installationFolder))
{
}

Startup::Startup(std::string installationFolder, std::vector<std::string> arguments, Ui& ui, QString serverName)
    : installationFolder_(std::move(installationFolder)),
      commandLine_(joinedCommandLine(arguments)),
      ui_(ui),
      server_(serverName),
      serverName_(std::move(serverName))
{
}

bool Startup::becomeFirstInstance() { return server_.claim(); }

int Startup::handOver()
{
    // The first instance comes to the front whatever follows.
    if (!sendOpenRequest(serverName_, {}))
        return 1;
    if (commandLine_.empty())
        return 0;
    const Result<std::string> path = checkedProjectPath(cleanSecondInstanceCommandLine(commandLine_));
    if (!path) {
        showFailure(ui_, path.failure());
        return 1;
    }
    const std::optional<bool> opened = sendOpenRequest(serverName_, *path);
    return opened && *opened ? 0 : 1;
}

bool Startup::check(const StartupFolders& folders) { return StartupChecks(folders, ui_); }

bool Startup::start(StartupWindow& window)
{
    window.showWindow();
    const std::string named = cleanFirstInstanceCommandLine(commandLine_);
    bool ready = false;
    if (!named.empty()) {
        // A file that cannot be opened is reported and the program goes on
        // with a new project, as after a failed open from the menu.
        const Result<std::string> path = checkedProjectPath(named);
        if (!path)
            showFailure(ui_, path.failure());
        else
            openedFromCommandLine_ = window.openProjectFile(*path);
        ready = openedFromCommandLine_ || window.readLayoutSettings();
    } else {
        bool layoutSettingsLost = false;
        ready = window.runStartupDialogFlow(layoutSettingsLost) ||
                (!layoutSettingsLost && window.readLayoutSettings());
    }
    if (!ready)
        return false;
    server_.setHandler([&window](const std::string& path) {
        window.restoreAndRaise();
        return path.empty() || window.openProjectFile(path);
    });
    return true;
}

} // namespace pavonia
