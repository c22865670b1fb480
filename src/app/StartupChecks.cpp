#include "app/StartupChecks.h"

#include "platform/Folders.h"
#include "platform/StringTable.h"
#include "platform/SystemFolders.h"
#include "project/Installation.h"

#include <filesystem>

namespace pavonia {

namespace fs = std::filesystem;

namespace {

bool isFolder(const std::string& path)
{
    std::error_code ec;
    return fs::is_directory(path, ec);
}

bool isFile(const std::string& path)
{
    std::error_code ec;
    return fs::exists(path, ec) && !fs::is_directory(path, ec);
}

// A working folder inside the installation is made only when the folder
// really is one, so nothing is written into a folder taken for one by
// mistake; the checks that follow then say what is missing.
bool ensureWorkingFolder(const std::string& folder, const std::string& installation)
{
    if (isFolder(folder))
        return true;
    const bool insideInstallation = folder.rfind(installation, 0) == 0;
    if (insideInstallation && !installationProblem(installation).empty())
        return true;
    return folders::createPath(folder);
}

} // namespace

Result<> runStartupChecks(const StartupFolders& folders)
{
    const std::string& home = folders.installation;
    const std::string templates = home + kTemplateFolderName + "/";
    if (!isFolder(home + "LIPSincData"))
        return Failure(str::LipSyncFolderNotFound);
    if (!ensureWorkingFolder(folders.temp, home))
        return Failure::system(str::CreateTempFolderFailed, {withoutTrailingSeparator(folders.temp)});
    if (!ensureWorkingFolder(folders.user, home))
        return Failure::system(str::CreateUserFolderFailed, {withoutTrailingSeparator(folders.user)});
    const struct {
        std::string path;
        int message;
        bool folder;
    } required[] = {
        {templates, str::TemplateFolderNotFound, true},
        {templates + "function.js", str::JavascriptFileNotFound, false},
        {templates + "Pavonia.ini", str::CatalogueNotFound, false},
        {home + "rm_logo.bmp", str::RmLogoNotFound, false},
        {home + "swf_logo.bmp", str::SwfLogoNotFound, false},
        {home + "wmv_logo.bmp", str::WmvLogoNotFound, false},
        {home + kDefaultTalkingImageName, str::DefaultTalkingImageNotFound, false},
        {home + kDefaultTalkingMessageName, str::DefaultTalkingMessageNotFound, false},
    };
    for (const auto& entry : required)
        if (entry.folder ? !isFolder(entry.path) : !isFile(entry.path))
            return Failure(entry.message);
    return {};
}

bool StartupChecks(const StartupFolders& folders, Ui& ui)
{
    const Result<> checked = runStartupChecks(folders);
    if (!checked)
        showFailure(ui, checked.failure());
    return checked.ok();
}

} // namespace pavonia
