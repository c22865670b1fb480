#include "CliRunner.h"
#include "TestInstallation.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace pavonia::test;

TEST(Cli, NewThenInfoDescribesTheDefaultProject)
{
    TestInstallation inst;
    const std::string home = "--home " + quoted(inst.folder());
    const std::string project = inst.root() + "new project.pvp";
    ASSERT_EQ(runCli(home + " new " + quoted(project)).status, 0);

    const CommandRun info = runCli(home + " info " + quoted(project));
    ASSERT_EQ(info.status, 0);
    const auto json = nlohmann::json::parse(info.out);
    EXPECT_EQ(json["header"]["magic"], 0x49504120u);
    EXPECT_EQ(json["header"]["recordCount"], 27);
    EXPECT_EQ(json["settings"]["resolutionKey"], "0_800");
    EXPECT_EQ(json["settings"]["headingFont"]["size"], 12);
    ASSERT_EQ(json["sessions"].size(), 1u);
    const auto& session = json["sessions"][0];
    EXPECT_EQ(session["label"], "Session 1");
    EXPECT_EQ(session["slides"].size(), 1u);
    EXPECT_EQ(session["slides"][0]["subTopic"], "");
    EXPECT_EQ(session["slides"][0]["hasContent"], 1);
    EXPECT_EQ(session["talkingImagePath"].get<std::string>().find('/'), std::string::npos);
    ASSERT_EQ(json["files"].size(), 2u);
    for (const auto& file : json["files"]) {
        EXPECT_EQ(file["refCount"], 1);
        EXPECT_EQ(file["sha256"].get<std::string>().size(), 64u);
    }
    EXPECT_TRUE(json["messages"].empty());
}

TEST(Cli, FailedLoadStillPrintsItsMessage)
{
    TestInstallation inst;
    const std::string bad = inst.writeFile("bad.pvp", "not a project");
    const CommandRun info = runCli("--home " + quoted(inst.folder()) + " info " + quoted(bad));
    EXPECT_EQ(info.status, 1);
    const auto json = nlohmann::json::parse(info.out);
    ASSERT_EQ(json["messages"].size(), 1u);
    EXPECT_EQ(json["messages"][0], "Not a valid Pavonia Project file.\n(" + bad + ")");
}

TEST(Cli, UsageErrors)
{
    EXPECT_EQ(runCli("").status, 2);
    EXPECT_EQ(runCli("frobnicate x").status, 2);
    // A wrong call prints the usage on stderr only.
    const CommandRun wrong = runCli("frobnicate x");
    EXPECT_TRUE(wrong.out.empty());
    EXPECT_NE(runCli("frobnicate x", true).out.find("usage: pavonia-cli"), std::string::npos);
}

TEST(Cli, HelpAndVersionPrintOnStandardOutput)
{
    for (const std::string call : {"--help", "help", "-h", "info --help", "voice import --help",
                                   "--home /nonexistent preview --help"}) {
        SCOPED_TRACE(call);
        const CommandRun run = runCli(call);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out.rfind("usage: pavonia-cli", 0), 0u);
        EXPECT_NE(run.out.find("tps-info"), std::string::npos);
    }
    const CommandRun version = runCli("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "pavonia-cli 1.0\n");
}
