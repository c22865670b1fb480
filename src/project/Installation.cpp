#include "project/Installation.h"

#include "platform/Folders.h"
#include "platform/StringTable.h"
#include "platform/Text.h"

#include <filesystem>

namespace pavonia {

namespace fs = std::filesystem;

namespace {

bool holdsTemplateFolder(const std::string& folder)
{
    for (const fs::directory_entry& entry : folders::entriesOf(folder)) {
        std::error_code ec;
        if (equalsIgnoreCase(entry.path().filename().string(), kTemplateFolderName) && entry.is_directory(ec))
            return true;
    }
    return false;
}

bool holdsFile(const std::string& folder, const char* name)
{
    std::error_code ec;
    return fs::is_regular_file(folder + name, ec);
}

} // namespace

std::string installationProblem(const std::string& folder)
{
    if (folder.empty())
        return StringTable::text(str::InstallationFolderEmpty);
    if (!holdsTemplateFolder(folder) || !holdsFile(folder, kDefaultTalkingImageName) ||
        !holdsFile(folder, kDefaultTalkingMessageName))
        return StringTable::format(str::NotAnInstallation, {folder});
    return {};
}

} // namespace pavonia
