#include "cli/CliSession.h"
#include "platform/FileOps.h"
#include "platform/Folders.h"
#include "platform/StringTable.h"
#include "platform/SystemFolders.h"
#include "project/Installation.h"
#include "project/ProjectFile.h"

#include <cerrno>
#include <filesystem>
#include <iostream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace pavonia::cli {

bool openWorkplace(Workplace& place, const std::string& home)
{
    if (const std::string problem = place.open(home); !problem.empty()) {
        std::cerr << problem << '\n';
        return false;
    }
    return true;
}

Session::Session(const Workplace& place, bool echo)
    : ProjectHolder({place.home(), place.scratchFolder(), place.ownFolder(), place.area(), place.settingsFolder()},
                    ConsoleUi(echo), place.registry())
{
    operations.createView();
}

bool loadCheckedProject(Session& session, TemplateLibrary& library, LayoutLayers& layers, const std::string& path)
{
    // The empty project made before is replaced: its copies do not matter.
    session.document.workingFolder().takeCopyFailure();
    if (!LoadProject(session.document, session.operations, path))
        return false;
    library.ValidateTemplateSelection(session.document.settings(), layers);
    return true;
}

bool loadProjectToSave(Session& session, const std::string& path, const std::string& out)
{
    if (!LoadProject(session.document, session.operations, path))
        return false;
    std::error_code ec;
    if (session.document.loadedDamaged && (out.empty() || fs::equivalent(out, path, ec))) {
        session.document.message(StringTable::format(str::DamagedProjectNotOverwritten, {path}));
        return false;
    }
    return true;
}

bool reportCopyFailure(Session& session)
{
    const std::optional<Failure> failure = session.document.workingFolder().takeCopyFailure();
    if (!failure)
        return false;
    showFailure(session.document.ui(), *failure);
    return true;
}

} // namespace pavonia::cli
