// pavonia-cli export of the bundled sample, and the executable it makes run
// as a user runs it: with a stand-in player that records what it finds, and
// with the real player on a virtual display.
#include "CliRunner.h"
#include "TestInstallation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace pavonia::test;

namespace {

// A path in single quotes for the shell.
std::string q(const std::string& text)
{
    return pavonia::test::quoted(text);
}

// The files under `folder` by relative path, with their bytes.
std::map<std::string, std::string> filesUnder(const std::string& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), folder).generic_string()] = readFile(entry.path().string());
    return files;
}

class ExportCliTest : public ::testing::Test {
protected:
    void SetUp() override
    {
#ifndef PAVONIA_PKSEED
        GTEST_SKIP() << "the stub is not built";
#else
        fs::copy_file(PAVONIA_SAMPLE_PROJECT, project);
        fs::copy_file(PAVONIA_PKSEED, installation.folder() + "pkseed.exe");
        fs::create_directories(out);
#endif
    }

    CommandRun cli(const std::string& arguments, bool withErrors = false)
    {
        return runCli("--home " + q(installation.folder()) + " export " + q(project) + " " + arguments,
                      withErrors);
    }

    TestInstallation installation;
    std::string project = installation.root() + "Sample.pvp";
    std::string out = installation.root() + "out/";
};

TEST_F(ExportCliTest, EachKindPrintsItsSizeAndRefusesWhatItCannotDo)
{
    const CommandRun web = cli("--type web " + q(out + "web/Show.htm"));
    ASSERT_EQ(web.status, 0);
    EXPECT_EQ(web.out.rfind("Total exported file size is ", 0), 0u) << web.out;
    EXPECT_TRUE(fs::exists(out + "web/Show/function.js"));

    const CommandRun cd = cli("--type cd --no-autorun " + q(out + "cd/Show.htm"));
    ASSERT_EQ(cd.status, 0);
    EXPECT_TRUE(fs::exists(out + "cd/autorun.ini"));
    EXPECT_TRUE(fs::exists(out + "cd/autorun.sh"));
    EXPECT_FALSE(fs::exists(out + "cd/autorun.inf"));

    const CommandRun exe = cli("--type exe --sound 1 --image 60 " + q(out + "Show.exe"));
    ASSERT_EQ(exe.status, 0);
    EXPECT_EQ(exe.out, "Total exported file size is " + std::to_string(fs::file_size(out + "Show.exe") >> 10) +
                           " KB ( " + std::to_string(fs::file_size(out + "Show.exe")) + " bytes).\n");
    // The stored preferences are the user's own again.
    EXPECT_EQ(readFile(installation.folder() + "PVPreference.ini").find("ExportType=2"), std::string::npos);

    const CommandRun wrong = cli("--type web " + q(out + "Show.txt"), true);
    EXPECT_EQ(wrong.status, 1);
    EXPECT_NE(wrong.out.find("This file format is unsupport."), std::string::npos) << wrong.out;
    EXPECT_EQ(cli("--type pdf " + q(out + "Show.htm")).status, 2);
    EXPECT_EQ(cli("--type web --image 101 " + q(out + "Show.htm")).status, 2);
    EXPECT_EQ(cli(q(out + "Show.htm")).status, 2);
}

TEST_F(ExportCliTest, TheSampleExecutableUnpacksThePublishedFilesForThePlayer)
{
    // A stand-in player that copies what it finds and records its arguments.
    installation.writeFile("install/pvplayer.exe", "#!/bin/sh\n"
                                                   "mkdir -p \"$PLAYER_OUT/files\"\n"
                                                   "cp -R . \"$PLAYER_OUT/files\"\n"
                                                   "printf '%s ' \"$@\" > \"$PLAYER_OUT/arguments\"\n");
    ASSERT_EQ(cli("--type exe " + q(out + "Show.exe")).status, 0);
    const std::string played = installation.root() + "played";
    const std::string tmp = installation.root() + "tmp";
    fs::create_directories(tmp);
    const CommandRun run = runCommand("env TMPDIR=" + q(tmp) + " PLAYER_OUT=" + q(played) + " " +
                                      q(out + "Show.exe") + " </dev/null 2>&1");
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(readFile(played + "/arguments"), "Show.htm 800 600 ");
    EXPECT_TRUE(fs::is_empty(tmp));

    // The same project published as the preview does it from the first
    // slide, into a folder of its own in the installation's User folder.
    const CommandRun preview = runCli("--home " + q(installation.folder()) + " preview " + q(project) + " --slide 0");
    ASSERT_EQ(preview.status, 0);
    std::map<std::string, std::string> published = filesUnder(preview.out.substr(0, preview.out.rfind('/')));
    published["Show.htm"] = published["Template.htm"];
    published.erase("Template.htm");
    published["pvplayer.exe"] = readFile(installation.folder() + "pvplayer.exe");
    const std::map<std::string, std::string> unpacked = filesUnder(played + "/files");
    ASSERT_EQ(unpacked.size(), published.size());
    for (const auto& [name, bytes] : published) {
        const auto it = unpacked.find(name);
        ASSERT_NE(it, unpacked.end()) << name;
        EXPECT_TRUE(it->second == bytes) << name;
    }

    // cabextract finds every cabinet behind the stub, and they hold the same
    // files in the order they were packed.
    if (runCommand("command -v cabextract").status == 0) {
        const CommandRun listed = runCommand("cabextract -l " + q(out + "Show.exe") + " | grep -c '| tempcab.cb'");
        EXPECT_EQ(listed.out, std::to_string(published.size()) + "\n");
        std::string all;
        for (const auto& [name, bytes] : published)
            all += bytes;
        EXPECT_EQ(runCommand("cabextract -q -p " + q(out + "Show.exe")).out.size(), all.size());
    }
}

#ifdef PAVONIA_PLAYER
TEST_F(ExportCliTest, TheRealPlayerShowsTheSampleInAWindowOfThePagesSize)
{
    if (runCommand("command -v xvfb-run && command -v xwininfo").status != 0)
        GTEST_SKIP() << "xvfb-run or xwininfo is not installed";
    fs::copy_file(PAVONIA_PLAYER, installation.folder() + "pvplayer.exe");
    ASSERT_EQ(cli("--type exe " + q(out + "Show.exe")).status, 0);
    // Waits for the player's window (named after the page's title), prints
    // it, then ends the run.
    const std::string script = installation.writeFile(
        "watch.sh", "'" + out + "Show.exe' </dev/null >/dev/null 2>&1 &\n"
                    "for i in $(seq 1 60); do\n"
                    "  sleep 1\n"
                    "  w=$(xwininfo -root -tree | grep '(\"pvplayer.exe\"' | grep -v '\"pvplayer.exe\": (')\n"
                    "  if [ -n \"$w\" ]; then echo \"$w\"; break; fi\n"
                    "done\n"
                    "pkill -P $! ; kill $!; wait\n");
    const CommandRun run = runCommand("timeout 120 xvfb-run -a -s '-screen 0 1280x1024x24' sh " + q(script));
    EXPECT_NE(run.out.find("800x600"), std::string::npos) << run.out;
}
#endif

} // namespace
