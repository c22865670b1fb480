#include "PublishFixture.h"

#include "publish/HtmlCodeCopy.h"
#include "templates/ReadLayerRect.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace pavonia::test {
namespace {

TEST(ReadLayerRectTest, ValuesComeFromTheTagNamingTheLayer)
{
    const struct {
        const char* page;
        PageLayer layer;
        LayerRect expected;
    } cases[] = {
        {"<div id=BGLayer style='left:0px; top:0px; width:800px; height:600px;'>", PageLayer::Background,
         {0, 0, 800, 600}},
        {"<p>x</p><DIV ID=\"BGLayer\" STYLE=\"LEFT:10PX; TOP: 5px; WIDTH:810px; HEIGHT:605px\">",
         PageLayer::Background, {10, 5, 810, 605}},
        {"<div id=BGLayer style='left:1px; top:2px; width:3px; height:4px;'>"
         "<div id=DescriptionLayer style='left:20px; top:30px; width:420px; height:330px;'>",
         PageLayer::Description, {20, 30, 420, 330}},
        {"<div id=BGLayer style='top:7px; width:300px'>", PageLayer::Background, {0, 7, 300, 0}},
        {"<div id=Other style='left:1px'>", PageLayer::Background, {0, 0, 0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readLayerRectFromText(c.page, c.layer), c.expected) << c.page;
}

TEST(ReadLayerRectTest, AnUnreadablePageIsReportedAndAnEmptyOneFailsSilently)
{
    TestInstallation installation(false);
    ScriptedUi ui;
    const std::string missing = installation.root() + "missing.htm";
    EXPECT_FALSE(ReadLayerRect(missing, PageLayer::Background, ui));
    ASSERT_EQ(ui.texts().size(), 1u);
    EXPECT_EQ(ui.texts()[0], "Open file error. (" + missing + ")\nUnable to get background size in the html file.");
    EXPECT_FALSE(ReadLayerRect(installation.writeFile("empty.htm", ""), PageLayer::Background, ui));
    EXPECT_EQ(ui.texts().size(), 1u);
}

class HtmlCodeCopyTest : public ::testing::Test {
protected:
    PublishFixture f;
    Publisher publisher = f.makePublisher();
    HtmlCodeCopy logic{publisher, f.document};
};

TEST_F(HtmlCodeCopyTest, OnlyWebPagesArePicked)
{
    const struct {
        const char* name;
        bool accepted;
    } cases[] = {
        {"index.htm", true}, {"INDEX.HTML", true}, {"a.shtml", true}, {"a.stm", true}, {"a.asp", true},
        {"a.st", false},     {"a.h", false},       {"a.txt", false},  {"noextension", false},
    };
    for (const auto& c : cases) {
        HtmlCodeCopy fresh(publisher, f.document);
        const std::size_t before = f.ui.shown.size();
        const std::string path = f.installation.root() + "site/" + c.name;
        EXPECT_EQ(fresh.pickPage(path), c.accepted) << c.name;
        EXPECT_EQ(fresh.canProcess(), c.accepted) << c.name;
        if (!c.accepted) {
            EXPECT_EQ(f.ui.shown.at(before).text, "This file format is unsupport. \n ( File: " + path + " )");
        }
    }
}

TEST_F(HtmlCodeCopyTest, SelectStartsInTheRememberedFolderAndRemembersOnlyHtmPages)
{
    const std::string site = f.installation.root() + "site/";
    const std::string other = f.installation.root() + "other/";
    fs::create_directories(site);
    fs::create_directories(other);
    f.ui.openAnswers.push_back(std::vector<std::string>{other + "page.asp"});
    ASSERT_TRUE(logic.selectPage());
    EXPECT_EQ(f.ui.lastDialog.filter,
              "Web File (*.htm;*.html;*.shtml;*.stm;*.asp)|*.htm;*.html;*.shtml;*.stm;*.asp||");
    EXPECT_EQ(f.ui.lastDialog.defaultExtension, "htm");
    EXPECT_TRUE(f.ui.lastDialog.mustExist);
    EXPECT_NE(f.document.folderMemory().get(slot::Html), other);

    f.ui.openAnswers.push_back(std::vector<std::string>{site + "index.htm"});
    ASSERT_TRUE(logic.selectPage());
    EXPECT_EQ(logic.folder(), site);
    EXPECT_EQ(logic.fileName(), "index.htm");
    EXPECT_EQ(f.document.folderMemory().get(slot::Html), site);

    EXPECT_FALSE(logic.selectPage()); // cancelled: keeps the pick
    EXPECT_EQ(f.ui.lastDialog.startFolder, site);
    EXPECT_EQ(logic.fileName(), "index.htm");
}

TEST_F(HtmlCodeCopyTest, ProcessPublishesBesideThePageAndFormsTheInlineFrame)
{
    const std::string site = f.installation.root() + "site/";
    const std::string page = f.installation.writeFile("site/index.htm", "<html>mine</html>");
    EXPECT_FALSE(logic.process()); // nothing picked yet
    ASSERT_TRUE(logic.pickPage(page));
    EXPECT_FALSE(logic.canCopy());
    ASSERT_TRUE(logic.process());

    EXPECT_EQ(readFile(page), "<html>mine</html>");
    const std::string companion = readFile(site + "index_PVData.htm");
    EXPECT_NE(companion.find("Start(0, 0, 0, 0, \"index_PVData\\\");"), std::string::npos);
    const SessionData& session = *f.document.tree().sessions()[0]->session();
    const std::string image = fs::path(session.talkingImagePath).filename().string();
    EXPECT_NE(companion.find("AppendPageInfo(\"index_PVData/" + image + "\""), std::string::npos);
    for (const char* file : {"style.css", "images/frame.gif", "function.js", "face.js", "loading.gif"})
        EXPECT_TRUE(fs::exists(site + "index_PVData/" + file)) << file;
    EXPECT_TRUE(fs::exists(site + "index_PVData/" + image));
    // The page's data scripts travel with the files they describe.
    const std::string message = fs::path(session.talkingMessagePath).filename().string();
    EXPECT_TRUE(fs::exists(site + "index_PVData/" + image + ".js"));
    EXPECT_TRUE(fs::exists(site + "index_PVData/" + message + ".js"));
    EXPECT_FALSE(fs::exists(site + "index_PVData/Template.htm"));

    EXPECT_TRUE(logic.canCopy());
    EXPECT_EQ(logic.code(), "<IFRAME ID=IFrame0 FRAMEBORDER=0 SCROLLING=NO style='height:600; width:800;' "
                            "SRC='index_PVData.htm'></IFRAME>");
    EXPECT_TRUE(f.ui.shown.empty());
}

TEST_F(HtmlCodeCopyTest, AFailedPublishLeavesNoDataFolderAndNoCode)
{
    const std::string site = f.installation.root() + "site/";
    ASSERT_TRUE(logic.pickPage(f.installation.writeFile("site/index.htm", "")));
    f.document.settings().resolutionKey = "bad";
    EXPECT_FALSE(logic.process());
    EXPECT_FALSE(fs::exists(site + "index_PVData"));
    EXPECT_FALSE(logic.canCopy());
    EXPECT_EQ(f.ui.shown.size(), 1u);
}

TEST_F(HtmlCodeCopyTest, CopiesThePageFolderRefusesAreReportedAndGiveNoCode)
{
    const std::string site = f.installation.root() + "site/";
    ASSERT_TRUE(logic.pickPage(f.installation.writeFile("site/index.htm", "")));
    const struct {
        const char* blocker; // a file where the data folder goes, or a folder where the companion goes
        std::string named;
    } cases[] = {
        {"file", site + "index_PVData/"},
        {"folder", site + "index_PVData.htm"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.blocker);
        fs::remove_all(site + "index_PVData");
        fs::remove_all(site + "index_PVData.htm");
        if (std::string(c.blocker) == "file")
            f.installation.writeFile("site/index_PVData", "in the way");
        else
            fs::create_directories(site + "index_PVData.htm");
        f.ui.shown.clear();
        EXPECT_FALSE(logic.process());
        EXPECT_FALSE(logic.canCopy());
        ASSERT_EQ(f.ui.texts().size(), 1u);
        EXPECT_EQ(f.ui.texts()[0].rfind("Open file error.[" + c.named + "]\nError: ", 0), 0u) << f.ui.texts()[0];
    }
}

TEST_F(HtmlCodeCopyTest, PreviewPublishesIntoTheUserFolderAndOpensThePage)
{
    struct RecordingShell final : Shell {
        bool open(const std::string& path) override
        {
            opened.push_back(path);
            return true;
        }
        std::vector<std::string> opened;
    } shell;
    PublishContext context{f.document, f.library, f.layers, f.exporter};
    context.browser = &shell;
    int stops = 0;
    context.stopPlayback = [&] { ++stops; };
    Publisher withBrowser(context);
    ASSERT_TRUE(PreviewInBrowser(withBrowser));
    const std::string page = withBrowser.publishedPage();
    EXPECT_EQ(page.rfind(f.document.workingFolder().userFolder() + "Preview-", 0), 0u) << page;
    EXPECT_EQ(page.substr(page.rfind('/')), "/Template.htm");
    EXPECT_TRUE(std::filesystem::exists(page));
    EXPECT_EQ(shell.opened, std::vector<std::string>{page});
    EXPECT_EQ(stops, 1);
}

} // namespace
} // namespace pavonia::test
