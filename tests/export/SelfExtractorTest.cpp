// The self-extracting stub run as a user runs an exported executable: with
// a stand-in player that records what it was given, with damaged files, and
// with a player that cannot start.
#include "CabinetTools.h"

#include "CommandLine.h"
#include "PackReader.h"
#include "export/PackWriter.h"
#include "platform/StringTable.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace pavonia::test {
namespace {

// A player that copies the folder it runs in to $PLAYER_OUT, with its
// arguments and the folder's path beside the copy, and ends with
// $PLAYER_STATUS.
const char* kStandInPlayer = "#!/bin/sh\n"
                             "mkdir -p \"$PLAYER_OUT/files\"\n"
                             "cp -R . \"$PLAYER_OUT/files\"\n"
                             "printf '%s|' \"$@\" > \"$PLAYER_OUT/arguments\"\n"
                             "pwd > \"$PLAYER_OUT/folder\"\n"
                             "exit ${PLAYER_STATUS:-0}\n";

class SelfExtractorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(tmp);
        fs::create_directories(out);
        installation.writeFile("pub/Show.htm", "<html>" + proseBytes(5000) + "</html>");
        installation.writeFile("pub/images/frame.gif", randomBytes(40000));
        installation.writeFile("pub/pvplayer.exe", kStandInPlayer);
    }

    // Packs the files of pub/ (and `extra` sources) behind the real stub.
    void makeExecutable(const std::vector<std::string>& extra = {})
    {
        PackWriter writer;
        ASSERT_TRUE(writer.create(installation.root() + "__pvpack.pok"));
        const std::string prefix = installation.root() + "pub/";
        for (const char* name : {"Show.htm", "images/frame.gif", "pvplayer.exe"})
            ASSERT_TRUE(writer.addFile(prefix + name, prefix));
        for (const std::string& source : extra)
            ASSERT_TRUE(writer.addFile(source, prefix));
        ASSERT_TRUE(writer.setPlayer("pvplayer.exe"));
        ASSERT_TRUE(writer.setCommandLine("Show.htm 800 600"));
        ASSERT_TRUE(writer.embed(exe, PAVONIA_PKSEED, true));
        ASSERT_TRUE(writer.close().ok());
    }

    CommandRun run(const std::string& environment = "")
    {
        return runCommand("cd '" + installation.root() + "' && env TMPDIR='" + tmp + "' PLAYER_OUT='" + out + "' " +
                          environment + " '" + exe + "' </dev/null 2>&1");
    }

    bool tmpIsEmpty() const { return fs::is_empty(tmp); }

    TestInstallation installation{false};
    std::string exe = installation.root() + "Show.exe";
    std::string tmp = installation.root() + "tmp";
    std::string out = installation.root() + "out";
};

TEST_F(SelfExtractorTest, UnpacksEveryFileRunsThePlayerAndRemovesTheFolder)
{
    makeExecutable();
    const CommandRun result = run();
    EXPECT_EQ(result.status, 0) << result.out;
    EXPECT_EQ(readFile(out + "/arguments"), "Show.htm|800|600|");
    for (const char* name : {"Show.htm", "images/frame.gif", "pvplayer.exe"})
        EXPECT_TRUE(readFile(out + "/files/" + name) == readFile(installation.root() + "pub/" + name)) << name;
    const std::string folder = readFile(out + "/folder");
    EXPECT_EQ(folder.rfind(tmp + "/pavonia-show-", 0), 0u) << folder;
    EXPECT_TRUE(tmpIsEmpty());
    // The player's status is the program's.
    EXPECT_EQ(run("PLAYER_STATUS=5").status, 5);
}

TEST_F(SelfExtractorTest, ADamagedOrCutExecutableUnpacksNothing)
{
    makeExecutable();
    const std::string whole = readFile(exe);
    const std::uint64_t stubSize = fs::file_size(PAVONIA_PKSEED);
    const struct {
        const char* what;
        std::string bytes;
        const char* says;
    } cases[] = {
        {"cut by one byte", whole.substr(0, whole.size() - 1), "no presentation was found"},
        {"cut inside the entries", whole.substr(0, stubSize + 2000) + whole.substr(whole.size() - 804),
         "part"},
        {"a changed byte inside a cabinet",
         whole.substr(0, stubSize + 700) + static_cast<char>(whole[stubSize + 700] ^ 0x5A) +
             whole.substr(stubSize + 701),
         "is damaged"},
        {"a header flag cleared", whole.substr(0, stubSize + 8) + '\0' + whole.substr(stubSize + 9), "damaged header"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::ofstream(exe, std::ios::binary | std::ios::trunc) << c.bytes;
        const CommandRun result = run();
        EXPECT_EQ(result.status, 1);
        EXPECT_NE(result.out.find("damaged or incomplete"), std::string::npos) << result.out;
        EXPECT_NE(result.out.find(c.says), std::string::npos) << result.out;
        EXPECT_FALSE(fs::exists(out + "/arguments"));
        EXPECT_TRUE(tmpIsEmpty());
    }
}

TEST_F(SelfExtractorTest, ANameThatClimbsOutOfTheFolderIsRefusedBeforeAnythingIsUnpacked)
{
    installation.writeFile("evil.txt", "evil");
    makeExecutable({installation.root() + "pub/../evil.txt"});
    const CommandRun result = run();
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.out.find("leaves its folder: ../evil.txt"), std::string::npos) << result.out;
    EXPECT_TRUE(tmpIsEmpty());
    EXPECT_FALSE(fs::exists(out + "/arguments"));
}

TEST_F(SelfExtractorTest, APlayerThatCannotStartHandsThePageToTheBrowser)
{
    makeExecutable();
    // A browser opener that records what it was asked to open.
    const std::string bin = installation.root() + "bin";
    installation.writeFile("bin/xdg-open", "#!/bin/sh\necho \"$1\" > \"$PLAYER_OUT/opened\"\n");
    ::chmod((bin + "/xdg-open").c_str(), 0755);
    const CommandRun result = run("PLAYER_STATUS=3 PATH='" + bin + ":/usr/bin:/bin'");
    EXPECT_EQ(result.status, 0) << result.out;
    EXPECT_NE(result.out.find("opens in your web browser instead"), std::string::npos) << result.out;
    const std::string folder = readFile(out + "/folder");
    EXPECT_EQ(readFile(out + "/opened"), folder.substr(0, folder.size() - 1) + "/Show.htm\n");
    // With no one at a terminal to say when the page is closed, the files
    // stay, and the message says where.
    EXPECT_NE(result.out.find("stay in " + folder.substr(0, folder.size() - 1)), std::string::npos) << result.out;
    EXPECT_TRUE(fs::exists(folder.substr(0, folder.size() - 1) + "/Show.htm"));
}

TEST(PackReaderTest, StoredNamesStayInsideTheFolder)
{
    const struct {
        const char* name;
        const char* path; // nullptr: refused
    } cases[] = {
        {"Show.htm", "Show.htm"},
        {"images\\frame.gif", "images/frame.gif"},
        {"./a//b/", "a/b"},
        {"", nullptr},
        {"/etc/passwd", nullptr},
        {"\\Windows\\x", nullptr},
        {"C:\\x.htm", nullptr},
        {"..", nullptr},
        {"a/../../b", nullptr},
        {"a\\..\\b", nullptr},
        {"a\nb", nullptr},
        {"...", "..."},
        {".", nullptr},
    };
    for (const auto& c : cases) {
        const auto path = seed::safeRelativePath(c.name);
        if (c.path)
            EXPECT_EQ(path.value_or("(refused)"), c.path) << c.name;
        else
            EXPECT_FALSE(path) << c.name;
    }
}

TEST(PackReaderTest, ThePlayerGetsThePageWholeAndTheWindowSize)
{
    using seed::playerArguments;
    using seed::splitCommandLine;
    const auto plain = playerArguments(splitCommandLine("Show.htm 800 600"));
    EXPECT_EQ(plain.page, "Show.htm");
    EXPECT_EQ(plain.width, 800);
    EXPECT_EQ(plain.height, 600);
    EXPECT_EQ(playerArguments(splitCommandLine("My  Show.htm 800 600")).page, "My Show.htm");
    EXPECT_EQ(playerArguments(splitCommandLine("\"My  Show.htm\" 800 600")).page, "My  Show.htm");
    const auto pageOnly = playerArguments(splitCommandLine("Show.htm"));
    EXPECT_EQ(pageOnly.page, "Show.htm");
    EXPECT_EQ(pageOnly.width, 0);
    EXPECT_EQ(playerArguments(splitCommandLine("Show.htm x 600")).page, "Show.htm x 600");
}

} // namespace
} // namespace pavonia::test
