#include "platform/SystemFolders.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace pavonia {

namespace fs = std::filesystem;

std::string withTrailingSeparator(std::string folder)
{
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

std::string withoutTrailingSeparator(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

namespace {
std::string expandHome(std::string value, const std::string& home)
{
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    if (value.rfind("$HOME", 0) == 0)
        value = home + value.substr(5);
    return value;
}
} // namespace

std::optional<std::string> userDocumentsFolder()
{
    const char* home = std::getenv("HOME");
    const std::string homeDir = home ? home : "";
    std::error_code ec;
    if (const char* documents = std::getenv("XDG_DOCUMENTS_DIR"); documents && *documents)
        return withTrailingSeparator(expandHome(documents, homeDir));
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string configDir = (config && *config) ? config : homeDir + "/.config";
    std::ifstream dirs(configDir + "/user-dirs.dirs");
    for (std::string line; std::getline(dirs, line);) {
        const std::string prefix = "XDG_DOCUMENTS_DIR=";
        if (line.rfind(prefix, 0) == 0)
            return withTrailingSeparator(expandHome(line.substr(prefix.size()), homeDir));
    }
    if (!homeDir.empty() && fs::is_directory(homeDir + "/Documents", ec))
        return withTrailingSeparator(homeDir + "/Documents");
    return std::nullopt;
}

std::string systemTempFolder()
{
    std::error_code ec;
    const fs::path temp = fs::temp_directory_path(ec);
    return withTrailingSeparator(ec ? std::string("/tmp") : temp.string());
}

} // namespace pavonia
