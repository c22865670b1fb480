#pragma once
// What every subcommand of pavonia-cli shares: the installation folder, a
// working folder of the run's own, and one project of the core as the
// program's window would hold it.
#include "app/WritablePlaces.h"
#include "platform/Clock.h"
#include "platform/ConsoleUi.h"
#include "platform/Registry.h"
#include "platform/RunFolder.h"
#include "project/ProjectHolder.h"
#include "templates/TemplateLibrary.h"

#include <memory>
#include <string>

namespace pavonia::cli {

// The folder of the running program, with a trailing separator.
std::string programFolder();

// Where one run works: the installation, its working area and a folder of
// the run's own in the area's "Temp", which holds the run's working copies
// and its private temporary files (the pack store, publishing in progress).
// Several runs on one installation never share a file; the run's folder goes
// when the run ends, or at the next start when the run was killed. The
// working area and the settings are the installation's when the run may
// write it, else the user's own folders (WritablePlaces).
class Workplace {
public:
    // Checks that `home` is an installation and claims the run's folder;
    // false after saying why on stderr.
    bool open(const std::string& home);

    const std::string& home() const { return home_; }
    // Holds "User".
    const std::string& area() const { return places_.userParent; }
    // Holds the preference file and the user's registry values.
    const std::string& settingsFolder() const { return places_.settings; }
    // The run's own folder and its private temporary folder.
    std::string ownFolder() const { return run_->path(); }
    std::string scratchFolder() const { return run_->path() + "Scratch/"; }

private:
    std::string home_;
    WritablePlaces places_;
    std::unique_ptr<RunFolder> run_;
};

// One project of the core, as the program's window would hold it. With
// `echo`, messages go to stderr as they are shown.
struct Session : ProjectHolder<ConsoleUi, SystemClock, IniRegistry> {
    Session(const Workplace& place, bool echo);
};

// Loads the project at `path` into `session` and, as opening a project in
// the program does, checks its template selection against `library`, which
// reads the layout's layers into `layers`. False when the project cannot be
// loaded.
bool loadCheckedProject(Session& session, TemplateLibrary& library, LayoutLayers& layers, const std::string& path);

// Loads the project at `path` into `session` for a command that saves it
// again, to `out` or, when `out` is empty, over `path`. A project read from a
// damaged file is not saved over that file: the loss would become permanent.
// False, after saying why, when the project cannot be loaded or is refused.
bool loadProjectToSave(Session& session, const std::string& path, const std::string& out);

// Prints the message of a working copy that could not be made since the
// last call, if any; true when there was one.
bool reportCopyFailure(Session& session);

} // namespace pavonia::cli
