#pragma once
// A command-line test on a throw-away installation that holds a new project
// made by `pavonia-cli new` before each test.
#include "CliRunner.h"
#include "TestInstallation.h"

#include <gtest/gtest.h>

#include <string>

namespace pavonia::test {

class CliProjectTest : public ::testing::Test {
protected:
    explicit CliProjectTest(const std::string& projectName) : project(inst.root() + projectName) {}

    void SetUp() override { ASSERT_EQ(cli("new " + pavonia::test::quoted(project)).status, 0); }

    // The arguments after the program and its installation.
    std::string onInstallation(const std::string& arguments) const
    {
        return "--home " + pavonia::test::quoted(inst.folder()) + " " + arguments;
    }
    // pavonia-cli on the test's installation (see runCli).
    CommandRun cli(const std::string& arguments, bool withErrors = false) const
    {
        return runCli(onInstallation(arguments), withErrors);
    }

    TestInstallation inst;
    std::string project;
};

} // namespace pavonia::test
