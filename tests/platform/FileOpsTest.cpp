#include "platform/FileOps.h"

#include "TestInstallation.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <limits>
#include <sys/stat.h>

namespace pavonia {
namespace {

namespace fs = std::filesystem;
constexpr std::uint64_t kNoLimit = std::numeric_limits<std::uint64_t>::max();

TEST(FileOps, ReadWholeFileTellsOpenFailuresAndTheSizeLimitApartAndLeavesBytesAlone)
{
    test::TestInstallation install(false);
    const std::string path = install.writeFile("data.bin", std::string("ab\0cd", 5));
    std::string bytes = "before";

    EXPECT_EQ(readWholeFile(install.root() + "missing.bin", kNoLimit, bytes), FileRead::CannotOpen);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(readWholeFile(path, 4, bytes), FileRead::TooLarge);
    EXPECT_EQ(bytes, "before");

    ASSERT_EQ(readWholeFile(path, 5, bytes), FileRead::Ok);
    EXPECT_EQ(bytes, std::string("ab\0cd", 5));
}

TEST(FileOps, WriteFileReplacingKeepsThePermissionsOfTheFileItReplaces)
{
    test::TestInstallation install(false);
    const std::string path = install.writeFile("page.html", "old");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);

    ASSERT_TRUE(writeFileReplacing(path, "new"));
    EXPECT_EQ(test::readFile(path), "new");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);

    const std::string created = install.root() + "created.html";
    ASSERT_TRUE(writeFileReplacing(created, ""));
    ASSERT_EQ(::stat(created.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0644u);
}

TEST(FileOps, AFailedReplaceLeavesTheOldFileAndNoTemporary)
{
    test::TestInstallation install(false);
    // A folder under the file's name cannot be renamed over.
    const std::string folder = install.root() + "taken";
    fs::create_directory(folder);
    install.writeFile("taken/inside.txt", "keep");

    EXPECT_FALSE(writeFileReplacing(folder, "bytes"));
    EXPECT_EQ(test::readFile(folder + "/inside.txt"), "keep");
    for (const auto& entry : fs::directory_iterator(install.root()))
        EXPECT_EQ(entry.path().filename().string().find(".saving-"), std::string::npos) << entry.path();

    EXPECT_FALSE(writeFileReplacing(install.root() + "no/such/folder/file", "bytes"));
}

} // namespace
} // namespace pavonia
