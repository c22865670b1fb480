#include "platform/UniqueTempFolder.h"

#include "platform/SystemFolders.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace pavonia {

namespace {

constexpr const char* kPrefix = "_ppt";

} // namespace

std::string makeUniqueTempFolder(const std::string& systemTempFolder, const Clock& clock)
{
    const std::string base = withTrailingSeparator(systemTempFolder);
    unsigned counter = clock.tickCount() & 0xffffu;
    for (unsigned tries = 0; tries < 0x10000u; ++tries, counter = (counter + 1) & 0xffffu) {
        char name[16];
        std::snprintf(name, sizeof name, "%s%x", kPrefix, counter);
        const std::string path = base + name;
        // mkdir is the existence test too: it fails on any entry of that name,
        // a dangling link included, and two callers can never get one folder.
        if (::mkdir(path.c_str(), 0777) == 0)
            return path + "/";
        if (errno != EEXIST)
            return {};
    }
    return {};
}

bool deleteUniqueTempFolder(const std::string& folder, const std::string& systemTempFolder)
{
    const fs::path target(withoutTrailingSeparator(folder));
    const std::string name = target.filename().string();
    const std::string base = withTrailingSeparator(systemTempFolder);
    if (name.rfind(kPrefix, 0) != 0 || name.size() == std::string(kPrefix).size())
        return false;
    // The folder must be the temporary folder's path followed by the name,
    // exactly as makeUniqueTempFolder forms it.
    if (target.string() != base + name)
        return false;
    std::error_code ec;
    if (fs::is_symlink(target, ec) || !fs::is_directory(target, ec))
        return false;
    fs::remove_all(target, ec);
    return !ec;
}

} // namespace pavonia
