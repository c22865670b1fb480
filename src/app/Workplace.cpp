#include "app/Workplace.h"
#include "platform/FileOps.h"
#include "platform/Folders.h"
#include "platform/StringTable.h"
#include "platform/SystemFolders.h"
#include "project/Installation.h"

#include <cerrno>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace pavonia {

std::string programFolder()
{
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string("./") : withTrailingSeparator(self.parent_path().string());
}

std::string Workplace::open(const std::string& home)
{
    home_ = home;
    // Nothing is written or deleted anywhere that is not an installation.
    if (std::string problem = installationProblem(home); !problem.empty())
        return problem;
    places_ = writablePlacesFor(home);
    if (!places_.inInstallation && !folders::createPath(places_.settings))
        return StringTable::format(str::WorkingFolderFailed, {places_.settings, systemErrorText(errno)});
    const std::string runs = places_.tempFolder();
    run_ = std::make_unique<RunFolder>(runs);
    if (!run_->valid() || !folders::createPath(scratchFolder())) {
        const int error = run_->valid() ? errno : run_->error();
        run_.reset();
        return StringTable::format(str::WorkingFolderFailed, {runs, systemErrorText(error)});
    }
    return {};
}

IniRegistry Workplace::registry() const
{
    std::vector<std::string> files{home_ + IniRegistry::fileName()};
    if (places_.settings != home_)
        files.insert(files.begin(), places_.settings + IniRegistry::fileName());
    return IniRegistry(files);
}

} // namespace pavonia
