#include "TestInstallation.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>
#include <cstdio>
#include <sys/wait.h>

using pavonia::test::TestInstallation;

namespace {

struct CliRun {
    int status;
    std::string out;
};

CliRun run(const std::string& arguments)
{
    const std::string command = std::string(PAVONIA_CLI) + " " + arguments + " 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    CliRun result{-1, {}};
    if (!pipe)
        return result;
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.out.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string quoted(const std::string& text)
{
    return "'" + text + "'";
}

} // namespace

TEST(Cli, NewThenInfoDescribesTheDefaultProject)
{
    TestInstallation inst;
    const std::string home = "--home " + quoted(inst.folder());
    const std::string project = inst.root() + "new project.pvp";
    ASSERT_EQ(run(home + " new " + quoted(project)).status, 0);

    const CliRun info = run(home + " info " + quoted(project));
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
    const CliRun info = run("--home " + quoted(inst.folder()) + " info " + quoted(bad));
    EXPECT_EQ(info.status, 1);
    const auto json = nlohmann::json::parse(info.out);
    ASSERT_EQ(json["messages"].size(), 1u);
    EXPECT_EQ(json["messages"][0], "Not a valid Pavonia Project file.\n(" + bad + ")");
}

TEST(Cli, UsageErrors)
{
    EXPECT_EQ(run("").status, 2);
    EXPECT_EQ(run("frobnicate x").status, 2);
}
