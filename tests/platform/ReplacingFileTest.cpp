#include "platform/ReplacingFile.h"

#include "ChildProcess.h"
#include "TestInstallation.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pavonia {
namespace {

namespace fs = std::filesystem;

// Sets a file's times `secondsAgo` into the past.
void age(const std::string& path, int secondsAgo)
{
    const auto when = fs::file_time_type::clock::now() - std::chrono::seconds(secondsAgo);
    fs::last_write_time(path, when);
}

// A test's own empty folder, and a way to put files in it.
struct Folder {
    test::TestInstallation install{false};
    std::string path = install.folder();
    std::string put(const std::string& name, const std::string& content) const
    {
        return install.writeFile("install/" + name, content);
    }
};

bool unnamedFilesWork(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR, 0600);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

TEST(ReplacingFile, AKilledSaveLeavesNothingOnceTheNextSaveHasRun)
{
    const Folder folder;
    const std::string target = folder.put("talk.pvp", "old");
    // A save killed half-way, as kill -9 does it.
    const int status = test::inChildProcess([&] {
        ReplacingFile file(target);
        file.write(std::string(1 << 20, 'x'));
        ::raise(SIGKILL);
        return true;
    });
    EXPECT_EQ(status, -1);
    EXPECT_EQ(test::readFile(target), "old");
    if (unnamedFilesWork(folder.path)) {
        EXPECT_EQ(test::namesIn(folder.path), std::set<std::string>{"talk.pvp"});
    }

    ASSERT_TRUE(writeFileReplacing(target, "new"));
    EXPECT_EQ(test::readFile(target), "new");
    EXPECT_EQ(test::namesIn(folder.path), std::set<std::string>{"talk.pvp"});
}

TEST(ReplacingFile, TheNextSaveRemovesOnlyItsTargetsTemporariesThatWereLeftBehind)
{
    const Folder folder;
    const std::string& root = folder.path;
    const std::string target = folder.put("talk.pvp", "old");
    // Left by killed saves of the target: removed.
    for (const char* name : {".talk.pvp.saving-Ab3xY9", ".talk.pvp.saving-000000"})
        age(folder.put(name, "left"), 60);
    // Kept: a save still writing (its lock held), one started after this
    // save, other targets' and other names, and anything not a plain file.
    const std::string locked = folder.put(".talk.pvp.saving-LOCKED", "live");
    age(locked, 60);
    const int lock = ::open(locked.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(lock, LOCK_EX | LOCK_NB), 0);
    age(folder.put(".talk.pvp.saving-future", "new"), -3600);
    const std::set<std::string> others{".other.pvp.saving-Ab3xY9", ".talk.pvp.saving-Ab3xY", ".talk.pvp.saving-Ab3xY9z",
                                       ".talk.pvp.saving-Ab.xY9", "talk.pvp.saving-Ab3xY9"};
    for (const std::string& name : others)
        age(folder.put(name, "other"), 60);
    fs::create_directory(root + ".talk.pvp.saving-folder");
    const std::string outside = folder.put("outside", "keep");
    fs::create_symlink(outside, root + ".talk.pvp.saving-linked");

    ASSERT_TRUE(writeFileReplacing(target, "new"));
    ::close(lock);

    std::set<std::string> expected = others;
    expected.insert({"talk.pvp", ".talk.pvp.saving-LOCKED", ".talk.pvp.saving-future", ".talk.pvp.saving-folder",
                     ".talk.pvp.saving-linked", "outside"});
    EXPECT_EQ(test::namesIn(root), expected);
    EXPECT_EQ(test::readFile(outside), "keep");
}

TEST(ReplacingFile, ANameCloseToTheLengthLimitIsWrittenWithAShortenedTemporary)
{
    const std::string accents = "\xc3\xa9\xc3\xa9\xc3\xa9"; // "ééé"
    const struct {
        std::string name;
        std::size_t nameMax;
        std::string prefix;
    } cases[] = {
        {"talk.pvp", 255, ".talk.pvp.saving-"},
        {"abcdefghij", 25, ".abcdefghij.saving-"},
        {"abcdefghij", 24, ".abcdefghi.saving-"},
        {"ab" + accents, 23, ".ab" + accents + ".saving-"},
        {"ab" + accents, 22, ".ab\xc3\xa9\xc3\xa9.saving-"}, // never half a character
        {"ab" + accents, 20, ".ab\xc3\xa9.saving-"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReplacingFile::temporaryPrefix(c.name, c.nameMax), c.prefix) << c.name << " " << c.nameMax;

    const Folder folder;
    for (const std::size_t length : {std::size_t{NAME_MAX}, std::size_t{NAME_MAX - 10}}) {
        const std::string target = folder.path + std::string(length - 4, 'n') + ".pvp";
        ASSERT_TRUE(writeFileReplacing(target, "first")) << length;
        ASSERT_TRUE(writeFileReplacing(target, "second")) << length;
        EXPECT_EQ(test::readFile(target), "second");
    }
    EXPECT_EQ(test::namesIn(folder.path).size(), 2u);
}

TEST(ReplacingFile, ATargetThatIsALinkIsWrittenThroughAndStaysALink)
{
    const Folder folder;
    const std::string& root = folder.path;
    const std::string real = folder.put("real/talk.pvp", "old");
    ASSERT_EQ(::chmod(real.c_str(), 0600), 0);
    fs::create_symlink("real/talk.pvp", root + "relative.pvp");
    fs::create_symlink(root + "relative.pvp", root + "chained.pvp");
    fs::create_symlink("real/new.pvp", root + "dangling.pvp");
    fs::create_symlink("loop-b.pvp", root + "loop-a.pvp");
    fs::create_symlink("loop-a.pvp", root + "loop-b.pvp");

    ASSERT_TRUE(writeFileReplacing(root + "relative.pvp", "one"));
    EXPECT_EQ(test::readFile(real), "one");
    ASSERT_TRUE(writeFileReplacing(root + "chained.pvp", "two"));
    EXPECT_EQ(test::readFile(real), "two");
    ASSERT_TRUE(writeFileReplacing(root + "dangling.pvp", "three"));
    EXPECT_EQ(test::readFile(root + "real/new.pvp"), "three");
    for (const char* link : {"relative.pvp", "chained.pvp", "dangling.pvp"})
        EXPECT_TRUE(fs::is_symlink(root + link)) << link;
    struct stat info {};
    ASSERT_EQ(::stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);

    // A working file's link is replaced itself.
    ASSERT_TRUE(writeFileReplacing(root + "relative.pvp", "four", LinkTarget::Replace));
    EXPECT_FALSE(fs::is_symlink(root + "relative.pvp"));
    EXPECT_EQ(test::readFile(root + "relative.pvp"), "four");
    EXPECT_EQ(test::readFile(real), "two");

    ReplacingFile looped(root + "loop-a.pvp");
    EXPECT_FALSE(looped.valid());
    EXPECT_EQ(looped.systemError(), ELOOP);
    EXPECT_FALSE(looped.commit());
    EXPECT_TRUE(fs::is_symlink(root + "loop-a.pvp"));
    EXPECT_EQ(test::namesIn(root + "real"), (std::set<std::string>{"talk.pvp", "new.pvp"}));
}

} // namespace
} // namespace pavonia
