#include "project/FolderMemory.h"

#include "platform/StringTable.h"
#include "platform/SystemFolders.h"

#include <filesystem>

namespace pavonia {

namespace fs = std::filesystem;

namespace {

bool isFolder(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && fs::is_directory(path, ec);
}

// Creates a missing folder. A folder that cannot be made is still answered:
// the file dialog then starts wherever the system puts it.
void ensureFolder(const std::string& path)
{
    std::error_code ec;
    if (!path.empty())
        fs::create_directories(path, ec);
}

// Registry values may carry either separator at the end.
std::string withoutOneTrailingSeparator(std::string path)
{
    if (!path.empty() && (path.back() == '/' || path.back() == '\\'))
        path.pop_back();
    return path;
}

bool isSlot(int slot) { return slot >= 0 && slot < FolderMemory::kSlots; }

} // namespace

FolderMemory::FolderMemory(std::string installationFolder, const Registry& registry, DocumentsQuery documentsQuery)
    : installationFolder_(withTrailingSeparator(std::move(installationFolder))),
      registry_(registry),
      documentsQuery_(std::move(documentsQuery))
{
}

std::string FolderMemory::productKey()
{
    return "Software\\" + StringTable::text(str::MakerName) + "\\" + StringTable::text(str::ProductName) + "\\" +
           StringTable::text(str::ProductVersion);
}

std::string FolderMemory::get(int slot, const std::string& fileName)
{
    if (!isSlot(slot))
        return documentsFolder() + fileName;
    std::string& folder = folders_[static_cast<std::size_t>(slot)];
    if (!isFolder(folder))
        folder = defaultFolder(slot);
    return folder + fileName;
}

void FolderMemory::set(int slot, std::string folder)
{
    if (!isSlot(slot))
        return;
    folders_[static_cast<std::size_t>(slot)] = folder.empty() ? folder : withTrailingSeparator(std::move(folder));
}

std::string FolderMemory::defaultFolder(int slot) const
{
    if (slot != slot::Background)
        return documentsFolder();
    // Background pictures live in "bg" of the program's registered
    // installation; without one, in the documents folder.
    std::string base = withoutOneTrailingSeparator(
        registry_.value(RegistryRoot::LocalMachine, productKey(), kInstallPathValue));
    if (!isFolder(base))
        base = documentsFolder();
    ensureFolder(base);
    return withTrailingSeparator(base) + "bg/";
}

std::string FolderMemory::documentsFolder() const
{
    std::string folder;
    if (documentsQuery_) {
        if (auto answer = documentsQuery_(); answer && !answer->empty())
            folder = *answer;
    }
    if (folder.empty()) {
        const std::string personal = withoutOneTrailingSeparator(
            registry_.value(RegistryRoot::CurrentUser, kShellFoldersKey, kPersonalValue));
        if (isFolder(personal))
            folder = personal;
    }
    if (folder.empty()) {
        // "samples" beside the program's folder.
        // The installation folder ends in "/": its parent_path is the folder
        // itself, whose parent_path is the folder beside which to look.
        const fs::path program = fs::path(installationFolder_).parent_path();
        folder = (program.parent_path() / "samples").string();
    }
    ensureFolder(folder);
    return withTrailingSeparator(folder);
}

} // namespace pavonia
