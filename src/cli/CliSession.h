#pragma once
// What every subcommand of pavonia-cli shares: the installation folder, a
// working folder of the run's own, and one project of the core as the
// program's window would hold it.
#include "platform/Clock.h"
#include "platform/ConsoleUi.h"
#include "platform/Registry.h"
#include "app/Workplace.h"
#include "project/ProjectHolder.h"
#include "templates/TemplateLibrary.h"

#include <memory>
#include <string>

namespace pavonia::cli {

using pavonia::programFolder;
using pavonia::Workplace;

// Opens the run's workplace at `home`; false after saying why on stderr.
bool openWorkplace(Workplace& place, const std::string& home);

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
