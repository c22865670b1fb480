// Several runs of pavonia-cli on one installation, and folders that are not
// installations: what each run may write and delete.
#include "ChildProcess.h"
#include "CliRunner.h"
#include "TestInstallation.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <fcntl.h>
#include <filesystem>
#include <regex>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace pavonia::test;

namespace {

std::string le16(unsigned v) { return {char(v & 0xff), char(v >> 8 & 0xff)}; }
std::string le32(std::uint32_t v) { return le16(v & 0xffff) + le16(v >> 16); }

// A 16-bit mono wave of `ms` of a 200 Hz tone.
std::string toneWave(int ms)
{
    const int rate = 16000;
    std::string data;
    for (int i = 0; i < ms * rate / 1000; ++i)
        data += le16(std::uint16_t(std::int16_t(6000 * std::sin(2 * M_PI * 200 * i / rate))));
    const std::string fmt = le16(1) + le16(1) + le32(rate) + le32(rate * 2) + le16(2) + le16(16);
    const std::string chunks = "fmt " + le32(16) + fmt + "data" + le32(std::uint32_t(data.size())) + data;
    return "RIFF" + le32(std::uint32_t(chunks.size() + 4)) + "WAVE" + chunks;
}

class SharedInstallation : public ::testing::Test {
protected:
    CommandRun cli(const std::string& arguments, bool withErrors = false)
    {
        return runCli("--home " + quoted(inst.folder()) + " " + arguments, withErrors);
    }

    // Loads `project` and checks that every session has its talking image
    // and message, each present in full.
    void expectWhole(const std::string& project, std::uintmax_t messageAtLeast)
    {
        const CommandRun info = cli("info " + quoted(project));
        ASSERT_EQ(info.status, 0) << project;
        const auto json = nlohmann::json::parse(info.out);
        EXPECT_TRUE(json["messages"].empty()) << project << json["messages"].dump();
        std::map<std::string, nlohmann::json> files;
        for (const auto& file : json["files"])
            files[file["copy"].get<std::string>()] = file;
        ASSERT_FALSE(json["sessions"].empty()) << project;
        for (const auto& session : json["sessions"]) {
            const std::string image = session["talkingImagePath"];
            const std::string message = session["talkingMessagePath"];
            ASSERT_TRUE(files.count(image) && files.count(message)) << project << " " << image << " " << message;
            EXPECT_EQ(files[image]["size"], fs::file_size(inst.folder() + "default_tjm.tjm")) << project;
            ASSERT_FALSE(files[message]["size"].is_null()) << project;
            EXPECT_GE(files[message]["size"].get<std::uintmax_t>(), messageAtLeast) << project;
        }
    }

    // Checks that the page exists with every file it names beside it.
    static void expectPageWhole(const std::string& page)
    {
        const std::string folder = page.substr(0, page.rfind('/') + 1);
        const std::string text = readFile(page);
        ASSERT_NE(text.find("AppendPageInfo("), std::string::npos) << page;
        EXPECT_TRUE(fs::is_regular_file(folder + "function.js")) << page;
        static const std::regex line(R"re(AppendPageInfo\("([^"]*)", "([^"]*)", "([^"]*)")re");
        for (std::sregex_iterator it(text.begin(), text.end(), line), end; it != end; ++it)
            for (int i = 1; i <= 3; ++i) {
                const std::string name = (*it)[i];
                if (name.empty() || name == "?")
                    continue;
                EXPECT_GT(fs::file_size(folder + name), 0u) << page << " names " << name;
                if (i < 3) {
                    EXPECT_TRUE(fs::is_regular_file(folder + name + ".js")) << page << " names " << name;
                }
            }
    }

    TestInstallation inst;
};

TEST_F(SharedInstallation, RunsAtOnceKeepEveryOutputWholeAndEveryPrintedPageInPlace)
{
    const std::string base = inst.root() + "base.pvp";
    ASSERT_EQ(cli("new " + quoted(base)).status, 0);
    const std::string wave = inst.writeFile("voice.wav", toneWave(600));

    std::vector<std::string> created, imported, pages;
    for (int round = 0; round < 3; ++round) {
        const std::string tag = std::to_string(round);
        std::vector<std::string> commands;
        std::vector<std::string> roundCreated{inst.root() + "new" + tag + "a.pvp", inst.root() + "new" + tag + "b.pvp"};
        const std::string out = inst.root() + "voice" + tag + ".pvp";
        for (const std::string& path : roundCreated)
            commands.push_back("new " + quoted(path));
        commands.push_back("voice import " + quoted(base) + " 1 " + quoted(wave) + " --out " + quoted(out));
        commands.push_back("preview " + quoted(base));
        commands.push_back("preview " + quoted(base));
        commands.push_back("info " + quoted(base));
        commands.push_back("new " + quoted(inst.root() + "new" + tag + "c.pvp"));
        roundCreated.push_back(inst.root() + "new" + tag + "c.pvp");

        std::vector<CommandRun> runs(commands.size());
        std::vector<std::thread> threads;
        for (std::size_t i = 0; i < commands.size(); ++i)
            threads.emplace_back([&, i] { runs[i] = cli(commands[i]); });
        for (std::thread& thread : threads)
            thread.join();
        for (std::size_t i = 0; i < commands.size(); ++i) {
            EXPECT_EQ(runs[i].status, 0) << commands[i];
            if (commands[i].rfind("preview", 0) == 0 && !runs[i].out.empty())
                pages.push_back(runs[i].out.substr(0, runs[i].out.size() - 1));
        }
        created.insert(created.end(), roundCreated.begin(), roundCreated.end());
        imported.push_back(out);
    }

    for (const std::string& project : created)
        expectWhole(project, 1);
    for (const std::string& project : imported)
        expectWhole(project, 512);
    ASSERT_EQ(pages.size(), 6u);
    EXPECT_EQ(std::set<std::string>(pages.begin(), pages.end()).size(), pages.size());
    for (const std::string& page : pages)
        expectPageWhole(page);
    // Every run cleared its own working folder as it ended.
    EXPECT_TRUE(namesIn(inst.folder() + "Temp").empty());
}

TEST_F(SharedInstallation, AFolderLeftByAKilledRunGoesAtTheNextStartAndALiveRunsStays)
{
    const std::string dead = inst.writeFile("install/Temp/run-dead01/Temp/Session1.tjm", "x");
    inst.writeFile("install/Temp/run-dead01/lock", "");
    inst.writeFile("install/Temp/run-live01/Temp/Session2.tjm", "y");
    const std::string liveLock = inst.writeFile("install/Temp/run-live01/lock", "");
    const int held = ::open(liveLock.c_str(), O_RDWR);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    // A folder still being set up has no lock file yet: it is left alone.
    inst.writeFile("install/Temp/run-young1/Temp/Session3.tjm", "z");

    ASSERT_EQ(cli("new " + quoted(inst.root() + "p.pvp")).status, 0);

    EXPECT_EQ(namesIn(inst.folder() + "Temp"), (std::set<std::string>{"run-live01", "run-young1"}));
    EXPECT_EQ(readFile(inst.folder() + "Temp/run-live01/Temp/Session2.tjm"), "y");
    ::close(held);
    ASSERT_EQ(cli("new " + quoted(inst.root() + "p.pvp")).status, 0);
    EXPECT_EQ(namesIn(inst.folder() + "Temp"), std::set<std::string>{"run-young1"});
}

TEST_F(SharedInstallation, RunsLeaveNothingInTheSystemTemporaryFolderEvenWhenKilled)
{
    const std::string systemTemp = inst.root() + "systemp/";
    const std::string run = "TMPDIR=" + quoted(systemTemp) + " " + PAVONIA_CLI + " --home " + quoted(inst.folder());
    const std::string project = inst.root() + "p.pvp";
    ASSERT_EQ(runCommand(run + " new " + quoted(project)).status, 0);
    ASSERT_EQ(runCommand(run + " preview " + quoted(project) + " >/dev/null").status, 0);
    const std::string web = inst.root() + "web/index.htm";
    ASSERT_EQ(runCommand(run + " export " + quoted(project) + " --type web " + quoted(web)).status, 0);
    // Killed part-way (or, on a fast machine, just after): the run's folder
    // under the installation's Temp is all it may leave, and the next run
    // sweeps it.
    runCommand(run + " export " + quoted(project) + " --type cd " + quoted(inst.root() + "cd/") +
               " & sleep 0.05; kill -9 $! 2>/dev/null; wait");
    EXPECT_TRUE(namesIn(systemTemp).empty());
    ASSERT_EQ(runCommand(run + " info " + quoted(project) + " >/dev/null").status, 0);
    // Only a run killed while claiming its folder (before its lock file had
    // its name) may leave one, which goes once it is ten minutes old.
    for (const std::string& name : namesIn(inst.folder() + "Temp"))
        EXPECT_FALSE(exists(inst.folder() + "Temp/" + name + "/lock"))
            << name << ": " << ::testing::PrintToString(namesIn(inst.folder() + "Temp/" + name));
    EXPECT_TRUE(namesIn(systemTemp).empty());
}

TEST_F(SharedInstallation, OnlyAnInstallationIsWrittenIn)
{
    // A folder of the user's own with "Temp" and "User" in it.
    const std::string mine = inst.root() + "mine/";
    const std::string kept = inst.writeFile("mine/Temp/draft.txt", "draft");
    const std::string page = inst.writeFile("mine/User/page.htm", "page");
    const std::string project = inst.root() + "p.pvp";
    const std::string cwd = inst.root() + "cwd/";
    fs::create_directories(cwd);
    struct Case {
        std::string home;
        const char* says;
    };
    const Case cases[] = {
        {quoted(mine), "Not a Pavonia installation folder"},
        {"''", "No installation folder was given"},
        {quoted(inst.root() + "none/"), "Not a Pavonia installation folder"},
    };
    for (const Case& c : cases)
        for (const std::string& command : {"new " + quoted(project), "info " + quoted(project),
                                          "preview " + quoted(project)}) {
            const CommandRun run =
                runCommand("cd " + quoted(cwd) + " && " + PAVONIA_CLI + " --home " + c.home + " " + command + " 2>&1");
            EXPECT_EQ(run.status, 1) << c.home << " " << command;
            EXPECT_NE(run.out.find(c.says), std::string::npos) << c.home << " " << command << "\n" << run.out;
        }
    EXPECT_EQ(namesIn(mine), (std::set<std::string>{"Temp", "User"}));
    EXPECT_EQ(readFile(kept), "draft");
    EXPECT_EQ(readFile(page), "page");
    EXPECT_TRUE(namesIn(cwd).empty());
    EXPECT_FALSE(fs::exists(project));

    // An installation without its default talking message is not one either.
    fs::remove(inst.folder() + "default_tps.tps");
    const CommandRun run = cli("new " + quoted(project), true);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("Not a Pavonia installation folder"), std::string::npos) << run.out;
    EXPECT_FALSE(fs::exists(inst.folder() + "Temp"));
}

TEST_F(SharedInstallation, NewFailsWhenTheSessionFilesCannotBeMade)
{
    // The default talking image is larger than any file the run may write:
    // a full disk as far as the run can tell.
    const std::string project = inst.root() + "p.pvp";
    const std::uintmax_t image = fs::file_size(inst.folder() + "default_tjm.tjm");
    ASSERT_GT(image, 16u * 1024);
    std::string out;
    const int status = inChildProcess([&] {
        limitFileSize(16 * 1024);
        const CommandRun run = cli("new " + quoted(project), true);
        return run.status == 1 && run.out.find("Cannot make the working copy of a file.") != std::string::npos &&
               run.out.find("File too large") != std::string::npos;
    });
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(fs::exists(project));
}

} // namespace
