// pavonia-cli given what a careless or hostile user might give it: pipes,
// damaged projects, outsized input.
#include "CliProjectTest.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace pavonia::test;

namespace {

class HostileInputCli : public CliProjectTest {
protected:
    HostileInputCli() : CliProjectTest("deck.pvp") {}

    // pavonia-cli in the test's installation, with its error output; a run
    // that hangs is ended and reported as such (status 124).
    CommandRun run(const std::string& arguments)
    {
        return runCommand("timeout 30 " + std::string(PAVONIA_CLI) + " " + onInstallation(arguments) + " 2>&1");
    }

    std::string fifo(const std::string& name)
    {
        const std::string path = inst.root() + name;
        fs::remove(path);
        EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
        return path;
    }
};

} // namespace

TEST_F(HostileInputCli, PipesAreRefusedWithAClearMessageNotWaitedOn)
{
    const std::string before = readFile(project);
    const CommandRun audio = run("voice import " + pavonia::test::quoted(project) + " 1 " + pavonia::test::quoted(fifo("voice.wav")));
    EXPECT_EQ(audio.status, 1);
    EXPECT_NE(audio.out.find("comes from a pipe or a device"), std::string::npos) << audio.out;
    // A shell's "<(...)" hands the program such a pipe.
    const CommandRun substituted =
        runCommand("bash -c " + pavonia::test::quoted("timeout 30 " + std::string(PAVONIA_CLI) + " --home " + inst.folder() +
                                       " voice import " + project + " 1 <(cat " + project + ") 2>&1"));
    EXPECT_EQ(substituted.status, 1);
    EXPECT_NE(substituted.out.find("comes from a pipe or a device"), std::string::npos) << substituted.out;
    EXPECT_EQ(readFile(project), before);

    const CommandRun info = run("info " + pavonia::test::quoted(fifo("pipe.pvp")));
    EXPECT_EQ(info.status, 1);
    EXPECT_NE(info.out.find("Not a regular file"), std::string::npos) << info.out;

    // The template's page, and a settings file of the library, as pipes.
    const std::string page = inst.folder() + "Template/Style0/L0/800/Template.htm";
    fs::remove(page);
    ASSERT_EQ(::mkfifo(page.c_str(), 0600), 0);
    const CommandRun preview = run("preview " + pavonia::test::quoted(project));
    EXPECT_EQ(preview.status, 1);
    EXPECT_NE(preview.out.find("Not a regular file"), std::string::npos) << preview.out;
    const std::string ini = inst.folder() + "Template/Pavonia.ini";
    fs::remove(ini);
    ASSERT_EQ(::mkfifo(ini.c_str(), 0600), 0);
    EXPECT_NE(run("info " + pavonia::test::quoted(project)).status, 124);
}

TEST_F(HostileInputCli, RunningOutOfMemoryEndsTheCommandWithAMessage)
{
    // A wave file that claims a gigabyte (sparse: it takes no disk), read
    // by a run that may use far less memory than that.
    const std::string wave = inst.writeFile("huge.wav", "RIFF\xff\xff\xff\x3fWAVE");
    fs::resize_file(wave, 1ull << 30);
    const CommandRun run = runCommand("ulimit -v 393216; " + std::string(PAVONIA_CLI) + " --home " +
                                      pavonia::test::quoted(inst.folder()) + " voice import " +
                                      pavonia::test::quoted(project) + " 1 " + pavonia::test::quoted(wave) + " 2>&1");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("Not enough memory to finish the command."), std::string::npos) << run.out;
    // The run's working folder went as the command ended.
    EXPECT_TRUE(namesIn(inst.folder() + "Temp").empty());
}
