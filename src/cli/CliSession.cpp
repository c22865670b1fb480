#include "cli/CliSession.h"
#include "platform/FileOps.h"
#include "platform/StringTable.h"
#include "platform/SystemFolders.h"
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

RunTempFolder::RunTempFolder()
{
    std::string pattern = systemTempFolder() + "pavonia-cli-XXXXXX";
    if (::mkdtemp(pattern.data()))
        path_ = pattern + "/";
    else
        path_ = systemTempFolder();
    owned_ = path_ != systemTempFolder();
}

RunTempFolder::~RunTempFolder()
{
    std::error_code ec;
    if (owned_)
        fs::remove_all(path_, ec);
}

Session::Session(const std::string& home, bool echo)
    : ui(echo),
      registry(home + IniRegistry::fileName()),
      document(DocumentEnvironment{home, temp.path(), ui, clock, registry}),
      operations(document)
{
    operations.createView();
}

bool installationWritable(const std::string& home)
{
    if (::access(home.c_str(), W_OK) == 0)
        return true;
    std::cerr << StringTable::format(str::InstallationNotWritable, {home, systemErrorText(errno)}) << '\n';
    return false;
}

bool loadCheckedProject(Session& session, TemplateLibrary& library, LayoutLayers& layers, const std::string& path)
{
    if (!LoadProject(session.document, session.operations, path))
        return false;
    library.ValidateTemplateSelection(session.document.settings(), layers);
    return true;
}

} // namespace pavonia::cli
