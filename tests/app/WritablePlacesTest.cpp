// Where a process writes: in a writable installation, or in the user's own
// folders when the installation is read-only.
#include "app/WritablePlaces.h"
#include "platform/Registry.h"

#include "TestInstallation.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace pavonia {
namespace {

using test::TestInstallation;

TEST(WritablePlaces, DecidedByWhetherTheInstallationCanBeWritten)
{
    const UserFolders user{"/home/u/.config/pavonia/", "/home/u/.cache/pavonia/", "/home/u/.local/share/pavonia/"};
    const WritablePlaces inside = decideWritablePlaces("/opt/p/", true, user);
    EXPECT_TRUE(inside.inInstallation);
    EXPECT_EQ(inside.settings, "/opt/p/");
    EXPECT_EQ(inside.tempFolder(), "/opt/p/Temp/");
    EXPECT_EQ(inside.userFolder(), "/opt/p/User/");

    const WritablePlaces outside = decideWritablePlaces("/opt/p/", false, user);
    EXPECT_FALSE(outside.inInstallation);
    EXPECT_EQ(outside.installation, "/opt/p/");
    EXPECT_EQ(outside.settings, "/home/u/.config/pavonia/");
    EXPECT_EQ(outside.tempFolder(), "/home/u/.cache/pavonia/Temp/");
    EXPECT_EQ(outside.userFolder(), "/home/u/.local/share/pavonia/User/");
}

TEST(WritablePlaces, UserFoldersFollowTheXdgVariables)
{
    const auto keep = [](const char* name) {
        const char* v = std::getenv(name);
        return std::pair<std::string, bool>(v ? v : "", v != nullptr);
    };
    const auto config = keep("XDG_CONFIG_HOME"), cache = keep("XDG_CACHE_HOME"), data = keep("XDG_DATA_HOME"),
               home = keep("HOME");
    setenv("HOME", "/home/u", 1);
    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    unsetenv("XDG_CACHE_HOME");
    setenv("XDG_DATA_HOME", "relative/is/ignored", 1);
    const UserFolders folders = xdgUserFolders();
    EXPECT_EQ(folders.config, "/cfg/pavonia/");
    EXPECT_EQ(folders.cache, "/home/u/.cache/pavonia/");
    EXPECT_EQ(folders.data, "/home/u/.local/share/pavonia/");
    for (const auto& [name, value] : {std::pair{"XDG_CONFIG_HOME", config}, std::pair{"XDG_CACHE_HOME", cache},
                                      std::pair{"XDG_DATA_HOME", data}, std::pair{"HOME", home}}) {
        if (value.second)
            setenv(name, value.first.c_str(), 1);
        else
            unsetenv(name);
    }
}

TEST(WritablePlaces, UsersRegistryValuesComeBeforeTheInstallations)
{
    TestInstallation place(false);
    const std::string key = "Software\\Nimbari\\Pavonia\\1.0";
    const std::string mine = place.writeFile("config/Registry.ini", "[HKEY_LOCAL_MACHINE\\" + key +
                                                                         "]\nInstall Path=/home/u/extras\n");
    const std::string theirs = place.writeFile("install/Registry.ini", "[HKEY_LOCAL_MACHINE\\" + key +
                                                                            "]\nInstall Path=/opt/extras\n"
                                                                            "[HKEY_CURRENT_USER\\Other]\n@=x\n");
    const IniRegistry registry(std::vector<std::string>{mine, theirs});
    EXPECT_EQ(registry.value(RegistryRoot::LocalMachine, key, "Install Path"), "/home/u/extras");
    EXPECT_EQ(registry.value(RegistryRoot::CurrentUser, "Other", ""), "x");
    EXPECT_EQ(registry.value(RegistryRoot::ClassesRoot, ".tps", ""), "");
}

} // namespace
} // namespace pavonia
