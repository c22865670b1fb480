// pavonia-cli preview, htmlcode and the template checks of info, run as a
// user would run them.
#include "ChildProcess.h"
#include "CliRunner.h"
#include "TestInstallation.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>

namespace fs = std::filesystem;
using namespace pavonia::test;

namespace {

// pavonia-cli run in the test's installation.
CommandRun cli(const TestInstallation& installation, const std::string& arguments)
{
    return runCli("--home " + quoted(installation.folder()) + " " + arguments);
}

class PublishCliTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(cli(installation, "new '" + project + "'").status, 0); }

    TestInstallation installation;
    std::string project = installation.root() + "deck.pvp";
};

TEST_F(PublishCliTest, PreviewPrintsThePublishedPage)
{
    const CommandRun run = cli(installation, "preview '" + project + "' --slide 0 --dpi 120");
    ASSERT_EQ(run.status, 0);
    const std::string shelf = installation.folder() + "User/Preview-";
    ASSERT_EQ(run.out.rfind(shelf, 0), 0u) << run.out;
    const std::string page = run.out.substr(0, run.out.size() - 1);
    const std::string folder = page.substr(0, page.rfind('/') + 1);
    EXPECT_EQ(page, folder + "Template.htm");
    const std::string text = readFile(page);
    EXPECT_NE(text.find("AppendPageInfo("), std::string::npos);
    EXPECT_EQ(text.find("%INIT"), std::string::npos);
    EXPECT_TRUE(fs::exists(folder + "function.js"));

    // The page stays whole through other runs: a load, a new project, another preview.
    const std::set<std::string> files = namesIn(folder);
    ASSERT_EQ(cli(installation, "info '" + project + "'").status, 0);
    ASSERT_EQ(cli(installation, "new '" + installation.root() + "other.pvp'").status, 0);
    const CommandRun again = cli(installation, "preview '" + project + "'");
    ASSERT_EQ(again.status, 0);
    EXPECT_NE(again.out, run.out);
    EXPECT_EQ(namesIn(folder), files);
    EXPECT_EQ(readFile(page), text);
    // Each run's working folder went with it.
    EXPECT_TRUE(namesIn(installation.folder() + "Temp").empty());
}

TEST_F(PublishCliTest, APreviewThatCannotBeWrittenWholeFailsWithItsMessage)
{
    // Larger than any file the run may write: the player's script. The
    // project's files and the page itself would fit.
    const rlim_t limit = 64 * 1024;
    ASSERT_GT(fs::file_size(installation.folder() + "Template/function.js"), limit);
    ASSERT_LT(fs::file_size(installation.folder() + "default_tjm.tjm"), limit);
    const int status = inChildProcess([&] {
        limitFileSize(limit);
        const CommandRun run = runCli("--home '" + installation.folder() + "' preview '" + project + "'", true);
        return run.status == 1 && run.out.find("Error: File too large\nUnable to apply template.") != std::string::npos &&
               run.out.find("User/Preview-") == std::string::npos;
    });
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(namesIn(installation.folder() + "User").empty());
    EXPECT_TRUE(namesIn(installation.folder() + "Temp").empty());
}

TEST_F(PublishCliTest, PreviewRefusesWhatItCannotDo)
{
    EXPECT_EQ(cli(installation, "preview '" + project + "' --slide 1").status, 2); // one slide only
    EXPECT_EQ(cli(installation, "preview '" + project + "' --dpi x").status, 2);
    EXPECT_EQ(cli(installation, "preview").status, 2);
    EXPECT_EQ(cli(installation, "preview '" + installation.root() + "missing.pvp'").status, 1);

    fs::remove_all(installation.folder() + "Template/Style0/L0/800");
    fs::remove_all(installation.folder() + "Template/Style0/L0/640");
    fs::remove_all(installation.folder() + "Template/Style0/L0/1024");
    const CommandRun run = cli(installation, "preview '" + project + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
}

TEST_F(PublishCliTest, HtmlCodePublishesBesideThePageAndPrintsTheInlineFrame)
{
    const std::string page = installation.writeFile("site/index.htm", "<html>mine</html>");
    const CommandRun run = cli(installation, "htmlcode '" + project + "' '" + page + "'");
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "<IFRAME ID=IFrame0 FRAMEBORDER=0 SCROLLING=NO style='height:600; width:800;' "
                       "SRC='index_PVData.htm'></IFRAME>\n");
    const std::string companion = readFile(installation.root() + "site/index_PVData.htm");
    EXPECT_NE(companion.find("AppendPageInfo(\"index_PVData/"), std::string::npos);
    EXPECT_TRUE(fs::exists(installation.root() + "site/index_PVData/function.js"));
    EXPECT_FALSE(fs::exists(installation.root() + "site/index_PVData/Template.htm"));
    EXPECT_EQ(readFile(page), "<html>mine</html>");

    EXPECT_EQ(cli(installation, "htmlcode '" + project + "' '" + installation.root() + "site/none.htm'").status, 1);
    EXPECT_EQ(cli(installation, "htmlcode '" + project + "' '" + installation.writeFile("site/a.txt", "") + "'")
                  .status,
              1);
}

TEST_F(PublishCliTest, InfoChecksTheTemplateSelectionAndReportsTheLayoutLayers)
{
    auto json = nlohmann::json::parse(cli(installation, "info '" + project + "'").out);
    EXPECT_EQ(json["layoutLayers"], nlohmann::json({{"subTopic", 1}, {"description", 1}, {"effect", 1}}));
    EXPECT_TRUE(json["messages"].empty());

    installation.writeFile("install/Template/Layout/L0.ini",
                           "[Layer]\nSubTopicLayer=1\nDescriptionLayer=0\nEffectLayer=0\n");
    fs::remove_all(installation.folder() + "Template/Style0/L0/800");
    json = nlohmann::json::parse(cli(installation, "info '" + project + "'").out);
    EXPECT_EQ(json["layoutLayers"], nlohmann::json({{"subTopic", 1}, {"description", 0}, {"effect", 0}}));
    EXPECT_EQ(json["messages"],
              nlohmann::json({"There is not the specific resolution.\nDefault resolution will be used."}));
}

} // namespace
