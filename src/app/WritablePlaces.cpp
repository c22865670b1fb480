#include "app/WritablePlaces.h"

#include "platform/SystemFolders.h"

#include <cstdlib>
#include <unistd.h>

namespace pavonia {

namespace {

constexpr const char* kProgramFolder = "pavonia/";

// An XDG base folder: the variable when it names an absolute path, else the
// default under the home folder.
std::string baseFolder(const char* variable, const char* fallback)
{
    if (const char* value = std::getenv(variable); value && value[0] == '/')
        return withTrailingSeparator(value);
    const char* home = std::getenv("HOME");
    return withTrailingSeparator(std::string(home && *home ? home : "/tmp") + "/" + fallback);
}

} // namespace

UserFolders xdgUserFolders()
{
    return {baseFolder("XDG_CONFIG_HOME", ".config") + kProgramFolder,
            baseFolder("XDG_CACHE_HOME", ".cache") + kProgramFolder,
            baseFolder("XDG_DATA_HOME", ".local/share") + kProgramFolder};
}

WritablePlaces decideWritablePlaces(const std::string& installation, bool installationWritable,
                                    const UserFolders& user)
{
    if (installationWritable)
        return {installation, installation, installation, installation, true};
    return {installation, user.config, user.cache, user.data, false};
}

WritablePlaces writablePlacesFor(const std::string& installation)
{
    return decideWritablePlaces(installation, isWritableFolder(installation), xdgUserFolders());
}

bool isWritableFolder(const std::string& folder)
{
    return !folder.empty() && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

} // namespace pavonia
