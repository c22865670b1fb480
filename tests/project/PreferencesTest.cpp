#include "project/Preferences.h"

#include "TestInstallation.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace pavonia;
using pavonia::test::readFile;
using pavonia::test::TestInstallation;

namespace {
const char* const kDefaultFile = "[PVPreference]\n"
                                 "Delay=3.00\n"
                                 "ExportType=0\n"
                                 "ImportType=0\n"
                                 "IncludeAutoRun=1\n"
                                 "InitDlg=1\n"
                                 "ShowExportDlg=1\n"
                                 "ShowImportDlg=1\n"
                                 "Transition=18\n";
} // namespace

TEST(Preferences, AMissingFileIsCreatedWithTheEightKeysInOrder)
{
    TestInstallation inst(false);
    const std::string path = inst.folder() + Preferences::kFileName;
    {
        Preferences prefs(inst.folder());
        prefs.setDelay(7);
    }
    std::filesystem::remove(path);
    Preferences prefs(inst.folder());
    EXPECT_EQ(readFile(path), kDefaultFile);
}

TEST(Preferences, AnExistingFileIsKeptAndAbsentKeysReadTheirDefaults)
{
    TestInstallation inst(false);
    const std::string content = "[PVPreference]\nDelay=_Error_\nInitDlg=0\nTransition=5\n";
    const std::string path = inst.writeFile("install/PVPreference.ini", content);
    Preferences prefs(inst.folder());
    EXPECT_EQ(readFile(path), content);
    EXPECT_DOUBLE_EQ(prefs.delay(), 3); // "_Error_" reads as missing
    EXPECT_EQ(prefs.initDlg(), 0);
    EXPECT_EQ(prefs.transition(), 5);
    EXPECT_EQ(prefs.exportType(), 0);
    EXPECT_EQ(prefs.importType(), 0);
    EXPECT_EQ(prefs.includeAutoRun(), 1);
    EXPECT_EQ(prefs.showExportDlg(), 1);
    EXPECT_EQ(prefs.showImportDlg(), 1);
}

TEST(Preferences, AFileThatCannotBeCreatedLeavesEveryKeyAtItsDefault)
{
    TestInstallation inst(false);
    const std::string folder = inst.root() + "no-such-folder/";
    Preferences prefs(folder);
    EXPECT_FALSE(std::filesystem::exists(folder));
    EXPECT_DOUBLE_EQ(prefs.delay(), 3);
    EXPECT_EQ(prefs.transition(), 18);
    EXPECT_EQ(prefs.initDlg(), 1);
    EXPECT_FALSE(prefs.setInitDlg(0)); // and says so when written
}

TEST(Preferences, WritesGoToTheFileAtOnce)
{
    TestInstallation inst(false);
    Preferences prefs(inst.folder());
    EXPECT_TRUE(prefs.setDelay(2.5));
    EXPECT_TRUE(prefs.setTransition(4));
    EXPECT_TRUE(prefs.setExportType(2));
    const Preferences other(inst.folder());
    EXPECT_DOUBLE_EQ(other.delay(), 2.5);
    EXPECT_EQ(other.transition(), 4);
    EXPECT_EQ(other.exportType(), 2);
    EXPECT_NE(readFile(inst.folder() + Preferences::kFileName).find("Delay=2.50\n"), std::string::npos);
}
