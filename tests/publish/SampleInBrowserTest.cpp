// The bundled sample project published with the stock templates and opened
// in a headless browser: the page's script must run without errors and show
// the heading and each slide's sub-topic.
#include "PublishFixture.h"
#include "RunCommand.h"

#include "project/ProjectFile.h"
#include "publish/CopyMessageExporter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace pavonia::test {
namespace {

std::string chromiumPath()
{
    for (const char* candidate : {"/usr/bin/chromium", "/usr/bin/chromium-browser"})
        if (fs::exists(candidate))
            return candidate;
    return {};
}

struct BrowserRun {
    std::string dom;
    std::string log;
};

// Loads `page` in a headless browser, lets its timers run for a moment of
// virtual time, and returns the document as it then stands with the log.
BrowserRun openInBrowser(const std::string& chromium, const std::string& page, const std::string& logPath)
{
    const std::string command = "timeout 120 '" + chromium +
                                "' --headless --no-sandbox --disable-gpu --enable-logging=stderr --v=0 "
                                "--virtual-time-budget=1000 --dump-dom 'file://" +
                                page + "' 2>'" + logPath + "'";
    BrowserRun run;
    run.dom = runCommand(command).out;
    run.log = readFile(logPath);
    return run;
}

// The text of the element with `id`, up to its first child tag.
std::string elementText(const std::string& dom, const std::string& id)
{
    const std::size_t at = dom.find("id=\"" + id + "\"");
    if (at == std::string::npos)
        return {};
    const std::size_t start = dom.find('>', at);
    const std::size_t end = dom.find('<', start);
    return start == std::string::npos ? std::string() : dom.substr(start + 1, end - start - 1);
}

TEST(SampleInBrowserTest, ThePublishedSampleShowsItsHeadingAndEverySlideWithoutScriptErrors)
{
    const std::string chromium = chromiumPath();
    if (chromium.empty())
        GTEST_SKIP() << "chromium is not installed";

    TestProject held;
    const TestInstallation& installation = held.inst;
    ScriptedUi& ui = held.ui;
    ProjectDocument& document = held.document;
    const std::string project = installation.root() + "Sample.pvp";
    fs::copy_file(PAVONIA_SAMPLE_PROJECT, project);
    ASSERT_TRUE(LoadProject(document, held.operations, project));
    TemplateLibrary library(installation.folder(), ui);
    LayoutLayers layers;
    library.ValidateTemplateSelection(document.settings(), layers);
    ASSERT_TRUE(ui.shown.empty()) << ui.shown.front().text;
    // The page stays on its start slide.
    document.settings().autoPlay = 0;

    CopyMessageExporter exporter;
    Publisher publisher(PublishContext(document, library, layers, exporter));
    const std::vector<TreeItem*> slides = document.tree().allSlides();
    ASSERT_GE(slides.size(), 2u);
    for (std::size_t i = 0; i < slides.size(); ++i) {
        document.tree().select(slides[i]);
        PublishRequest request;
        request.preview = true;
        ASSERT_TRUE(publisher.PublishProject(request));
        const BrowserRun run = openInBrowser(chromium, publisher.publishedPage(), installation.root() + "browser.log");
        ASSERT_FALSE(run.dom.empty()) << run.log;
        EXPECT_EQ(run.log.find("Uncaught"), std::string::npos) << run.log;
        EXPECT_EQ(elementText(run.dom, "Heading"), document.settings().headingText);
        EXPECT_EQ(elementText(run.dom, "SubTopic"), slides[i]->slide()->subTopic) << "slide " << i;
    }
}

} // namespace
} // namespace pavonia::test
