#include "platform/Folders.h"

#include "TestInstallation.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace pavonia {
namespace {

namespace fs = std::filesystem;
using test::exists;
using test::namesIn;
using test::readFile;
using test::TestInstallation;

class FolderHelpersTest : public ::testing::Test {
protected:
    std::string path(const std::string& relative) const { return install.root() + relative; }
    std::string write(const std::string& relative) const { return install.writeFile(relative, relative); }
    TestInstallation install{false};
};

TEST_F(FolderHelpersTest, DeleteMatchingDeletesMatchingFilesOnlyWithoutRegardToCase)
{
    write("f/Bg1.JPG");
    write("f/bg2.gif");
    write("f/Media.jpg");
    write("f/BgFolder/inner.jpg");

    folders::deleteMatching(path("f/"), "bg*.*");

    EXPECT_EQ(namesIn(path("f")), (std::set<std::string>{"BgFolder", "Media.jpg"}));
    EXPECT_TRUE(exists(path("f/BgFolder/inner.jpg")));
}

TEST_F(FolderHelpersTest, DeletingRemovesLinksNotTheirTargets)
{
    const std::string target = write("outside/precious.txt");
    write("outside/dir/also.txt");
    write("f/plain.txt");
    fs::create_symlink(target, path("f/link.txt"));
    fs::create_directories(path("g/sub"));
    fs::create_symlink(path("outside/dir"), path("g/sub/dirlink"));
    fs::create_symlink(target, path("g/sub/filelink"));

    folders::deleteMatching(path("f/"), "*");
    folders::deleteFilesRecursively(path("g/"));

    EXPECT_TRUE(namesIn(path("f")).empty());
    EXPECT_TRUE(namesIn(path("g/sub")).empty());
    EXPECT_EQ(readFile(target), "outside/precious.txt");
    EXPECT_TRUE(exists(path("outside/dir/also.txt")));
}

TEST_F(FolderHelpersTest, DeleteFilesRecursivelyKeepsTheFolders)
{
    write("f/a.txt");
    write("f/b/c.txt");
    write("f/b/d/e.txt");

    folders::deleteFilesRecursively(path("f"));

    EXPECT_EQ(namesIn(path("f")), std::set<std::string>{"b"});
    EXPECT_EQ(namesIn(path("f/b")), std::set<std::string>{"d"});
    EXPECT_TRUE(namesIn(path("f/b/d")).empty());
}

TEST_F(FolderHelpersTest, DeleteFilesExceptKeepsThatExtensionOnly)
{
    write("f/old.htm");
    write("f/OLDER.HTM");
    write("f/page.html");
    write("f/style.css");
    write("f/images/a.jpg");
    write("f/images/deep/b.gif");
    write("f/kept/c.htm");
    write("f/kept/d.js");

    folders::deleteFilesExcept(path("f/"), "htm");

    EXPECT_EQ(namesIn(path("f")), (std::set<std::string>{"OLDER.HTM", "kept", "old.htm"}));
    EXPECT_EQ(namesIn(path("f/kept")), std::set<std::string>{"c.htm"});
}

TEST_F(FolderHelpersTest, CopyTreeCopiesFilesAndFoldersReplacingOldFiles)
{
    write("from/a.txt");
    write("from/sub/b.txt");
    fs::create_directories(path("from/empty"));
    install.writeFile("to/deep/a.txt", "old");
    install.writeFile("to/deep/other.txt", "stays");

    EXPECT_TRUE(folders::copyTree(path("from/"), path("to/deep/")));

    EXPECT_EQ(readFile(path("to/deep/a.txt")), "from/a.txt");
    EXPECT_EQ(readFile(path("to/deep/sub/b.txt")), "from/sub/b.txt");
    EXPECT_TRUE(fs::is_directory(path("to/deep/empty")));
    EXPECT_EQ(readFile(path("to/deep/other.txt")), "stays");
}

TEST_F(FolderHelpersTest, CopyTreeCopiesLinkedFilesButDoesNotFollowLinkedFolders)
{
    write("from/a.txt");
    const std::string target = write("outside/b.txt");
    fs::create_symlink(target, path("from/b.txt"));
    fs::create_directory_symlink(path("from"), path("from/loop"));

    EXPECT_TRUE(folders::copyTree(path("from"), path("to")));

    EXPECT_EQ(namesIn(path("to")), (std::set<std::string>{"a.txt", "b.txt"}));
    EXPECT_FALSE(fs::is_symlink(path("to/b.txt")));
    EXPECT_EQ(readFile(path("to/b.txt")), "outside/b.txt");
}

TEST_F(FolderHelpersTest, CopyTreeIntoItsOwnSubFolderCopiesOnce)
{
    write("f/a.txt");
    write("f/copy/old.txt");

    EXPECT_TRUE(folders::copyTree(path("f/"), path("f/copy/")));

    EXPECT_EQ(namesIn(path("f/copy")), (std::set<std::string>{"a.txt", "old.txt"}));
}

TEST_F(FolderHelpersTest, CopyTreeFailsWithoutASourceFolder)
{
    EXPECT_FALSE(folders::copyTree(path("missing/"), path("to/")));
    write("file.txt");
    EXPECT_FALSE(folders::copyTree(path("file.txt"), path("to/")));
}

TEST_F(FolderHelpersTest, CreatePathMakesAllMissingParents)
{
    EXPECT_TRUE(folders::createPath(path("a/b/c/")));
    EXPECT_TRUE(fs::is_directory(path("a/b/c")));
    EXPECT_TRUE(folders::createPath(path("a/b/c")));
    write("file.txt");
    EXPECT_FALSE(folders::createPath(path("file.txt/sub")));
    EXPECT_FALSE(folders::createPath(""));
}

TEST_F(FolderHelpersTest, FirstMatchingTakesNameOrderWithoutRegardToCase)
{
    write("f/bg2.jpg");
    write("f/BG1.gif");
    write("f/Bg3.png");
    write("f/a.jpg");

    EXPECT_EQ(folders::firstMatching(path("f/"), "Bg*.*"), path("f/BG1.gif"));
    EXPECT_EQ(folders::firstMatching(path("f"), "bg2*"), path("f/bg2.jpg"));
    EXPECT_EQ(folders::firstMatching(path("f/"), "zz*"), "");
    EXPECT_EQ(folders::firstMatching(path("missing/"), "*"), "");
}

TEST_F(FolderHelpersTest, FirstMatchingFindsFoldersToo)
{
    fs::create_directories(path("style/L3"));
    write("style/Preview.jpg");

    EXPECT_EQ(finalComponent(folders::firstMatching(path("style/"), "L*")), "L3");
}

} // namespace
} // namespace pavonia
