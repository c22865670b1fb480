#include "PlayerFixture.h"

namespace pavonia::test {

using nlohmann::json;

CommandRun runCliIn(const TestInstallation& installation, const std::string& arguments)
{
    return runCommand(std::string(PAVONIA_CLI) + " --home '" + installation.folder() + "' " + arguments + " 2>&1");
}

std::string makeProject(const TestInstallation& installation, const PresentationPlan& plan,
                        const std::vector<std::string>& voices)
{
    const std::string project = installation.root() + "deck.pvp";
    const std::string failure = writePresentation(installation.folder(), installation.tempFolder(), plan, project);
    EXPECT_EQ(failure, "");
    for (std::size_t i = 0; i < voices.size(); ++i) {
        if (voices[i].empty())
            continue;
        const CommandRun run = runCliIn(installation, "voice import '" + project + "' " + std::to_string(i + 1) +
                                                          " '" + voices[i] + "'");
        EXPECT_EQ(run.status, 0) << run.out;
    }
    return project;
}

std::string previewPage(const TestInstallation& installation, const std::string& project, std::optional<int> slide)
{
    const CommandRun run = runCliIn(installation, "preview '" + project + "'" +
                                                      (slide ? " --slide " + std::to_string(*slide) : ""));
    EXPECT_EQ(run.status, 0) << run.out;
    std::string page = run.out;
    while (!page.empty() && (page.back() == '\n' || page.back() == '\r'))
        page.pop_back();
    // Anything printed before the page's path is a warning: keep the path.
    const std::size_t lineStart = page.rfind('\n');
    return lineStart == std::string::npos ? page : page.substr(lineStart + 1);
}

std::string startSampling(int ms, const std::string& first)
{
    return "(function () {"
           "  window.pvSamples = null;"
           "  var out = [];"
           "  " + first + ";"
           "  var t0 = performance.now();"
           "  var take = function () {"
           "    var s = PavoniaPlayer.state();"
           "    out.push([performance.now() - t0, s.timeMs, s.session, s.slide, s.mouthOpen,"
           "              s.transition === undefined ? -1 : s.transition,"
           "              s.transitionProgress === undefined ? 1 : s.transitionProgress, s.playing]);"
           "  };"
           "  take();"
           "  var id = setInterval(function () {"
           "    take();"
           "    if (performance.now() - t0 >= " + std::to_string(ms) + ") {"
           "      clearInterval(id); window.pvSamples = out;"
           "    }"
           "  }, 10);"
           "  return true;"
           "})()";
}

std::vector<PlayerSample> collectSamples(BrowserPage& page, int timeoutMs)
{
    std::vector<PlayerSample> samples;
    if (!page.waitFor("window.pvSamples", timeoutMs)) {
        ADD_FAILURE() << "sampling did not end";
        return samples;
    }
    for (const json& row : page.eval("window.pvSamples")) {
        PlayerSample s;
        s.wallMs = row[0].get<double>();
        s.timeMs = row[1].get<double>();
        s.session = row[2].get<int>();
        s.slide = row[3].get<int>();
        s.mouthOpen = row[4].get<double>();
        s.transition = row[5].get<int>();
        s.transitionProgress = row[6].get<double>();
        s.playing = row[7].get<bool>();
        samples.push_back(s);
    }
    return samples;
}

void BrowserTest::SetUp()
{
    if (findChromium().empty())
        GTEST_SKIP() << "chromium is not installed";
    ChromiumOptions options;
    options.autoplay = autoplay;
    browser = std::make_unique<Chromium>(options);
}

BrowserPage& BrowserTest::newPage(BrowserPage::Viewport viewport)
{
    pages.push_back(std::make_unique<BrowserPage>(*browser, viewport));
    return *pages.back();
}

void BrowserTest::openPlayer(BrowserPage& page, const std::string& url)
{
    ASSERT_TRUE(page.open(url)) << url << "\n" << page.errorText();
    ASSERT_TRUE(page.waitFor("window.PavoniaPlayer && PavoniaPlayer.state && PavoniaPlayer.state().slide > 0", 10000))
        << url << "\n" << page.errorText();
}

json BrowserTest::state(BrowserPage& page)
{
    return page.eval("PavoniaPlayer.state()");
}

} // namespace pavonia::test
