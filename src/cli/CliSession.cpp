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

std::string programFolder()
{
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string("./") : withTrailingSeparator(self.parent_path().string());
}

bool Workplace::open(const std::string& home)
{
    home_ = home;
    // Nothing is written or deleted anywhere that is not an installation.
    if (const std::string problem = installationProblem(home); !problem.empty()) {
        std::cerr << problem << '\n';
        return false;
    }
    places_ = writablePlacesFor(home);
    if (!places_.inInstallation && !folders::createPath(places_.settings)) {
        std::cerr << StringTable::format(str::WorkingFolderFailed, {places_.settings, systemErrorText(errno)})
                  << '\n';
        return false;
    }
    const std::string runs = places_.tempFolder();
    run_ = std::make_unique<RunFolder>(runs);
    if (!run_->valid() || !folders::createPath(scratchFolder())) {
        const int error = run_->valid() ? errno : run_->error();
        std::cerr << StringTable::format(str::WorkingFolderFailed, {runs, systemErrorText(error)}) << '\n';
        run_.reset();
        return false;
    }
    return true;
}

namespace {
IniRegistry registryOf(const Workplace& place)
{
    // The user's own values come before the installation's.
    std::vector<std::string> files{place.home() + IniRegistry::fileName()};
    if (place.settingsFolder() != place.home())
        files.insert(files.begin(), place.settingsFolder() + IniRegistry::fileName());
    return IniRegistry(files);
}
} // namespace

Session::Session(const Workplace& place, bool echo)
    : ProjectHolder({place.home(), place.scratchFolder(), place.ownFolder(), place.area(), place.settingsFolder()},
                    ConsoleUi(echo), registryOf(place))
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
