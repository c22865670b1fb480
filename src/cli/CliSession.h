#pragma once
// What every subcommand of pavonia-cli shares: the installation folder, a
// private temp folder per run, and one project of the core as the program's
// window would hold it.
#include "platform/Clock.h"
#include "platform/ConsoleUi.h"
#include "platform/Registry.h"
#include "project/ProjectDocument.h"
#include "project/TreeOperations.h"
#include "templates/TemplateLibrary.h"

#include <string>

namespace pavonia::cli {

// The folder of the running program, with a trailing separator.
std::string programFolder();

// A private system temp folder for this run, so that two runs at once never
// share the pack store; removed on exit.
class RunTempFolder {
public:
    RunTempFolder();
    ~RunTempFolder();
    RunTempFolder(const RunTempFolder&) = delete;
    RunTempFolder& operator=(const RunTempFolder&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
    bool owned_ = false;
};

// One project of the core, as the program's window would hold it. With
// `echo`, messages go to stderr as they are shown.
struct Session {
    Session(const std::string& home, bool echo);
    RunTempFolder temp;
    ConsoleUi ui;
    SystemClock clock;
    IniRegistry registry;
    ProjectDocument document;
    TreeOperations operations;
};

// Loads the project at `path` into `session` and, as opening a project in
// the program does, checks its template selection against `library`, which
// reads the layout's layers into `layers`. False when the project cannot be
// loaded.
bool loadCheckedProject(Session& session, TemplateLibrary& library, LayoutLayers& layers, const std::string& path);

// The working folders live in the installation: says so plainly on stderr
// when it cannot be written to.
bool installationWritable(const std::string& home);

} // namespace pavonia::cli
