// The published page of a large presentation (256 slides in 16 sessions,
// each session narrated) in headless Chromium, opened from disk:
// - how long the page takes to show its first slide, against a bare page
//   showing the same first picture, measured in the same run (goal: under
//   2 s);
// - the page's script memory (the used heap after a garbage collection)
//   after a second full AutoLoop cycle against after the first (goal: within
//   10%).
// A cycle visits every slide of every session on the timeline, with each
// session's voice playing for a moment, and ends by looping round to the
// first slide.
#include "BenchSupport.h"
#include "DevTools.h"
#include "PresentationPlan.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace pavonia;
using namespace pavonia::bench;
using nlohmann::json;

namespace {

constexpr int kSessions = 16;
constexpr int kSlidesPerSession = 16;
constexpr float kDelay = 0.5f;

std::string runCli(const std::string& home, const std::string& arguments)
{
    std::string command = std::string(PAVONIA_CLI) + " --home '" + home + "' " + arguments;
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    for (std::size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    if (!pipe || ::pclose(pipe) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
    while (!out.empty() && out.back() == '\n')
        out.pop_back();
    return out;
}

// Seconds from asking `page` for `url` until `shown` holds in it.
double secondsUntilShown(test::BrowserPage& page, const std::string& url, const std::string& shown)
{
    return secondsOf([&] {
        if (!page.open(url) || !page.waitFor(shown, 20000)) {
            std::fprintf(stderr, "%s did not show\n%s", url.c_str(), page.errorText().c_str());
            std::exit(1);
        }
    });
}

// Script memory in use after a garbage collection, in bytes.
double usedHeap(test::BrowserPage& page)
{
    test::Chromium& browser = page.browser();
    browser.call("HeapProfiler.collectGarbage", json::object(), page.session());
    return browser.call("Runtime.getHeapUsage", json::object(), page.session())["usedSize"].get<double>();
}

// One AutoLoop cycle through the whole timeline. Every voice is shorter
// than its session's slides, so the slides' delays lay out the timeline.
void playCycle(test::BrowserPage& page)
{
    const int sessionMs = static_cast<int>(kDelay * 1000) * kSlidesPerSession;
    for (int s = 0; s < kSessions; ++s) {
        page.eval("PavoniaPlayer.seek(" + std::to_string(s * sessionMs) + "); PavoniaPlayer.play()");
        page.browser().pump(300);
        for (int i = 0; i < kSlidesPerSession; ++i)
            page.eval("PavoniaPlayer.seek(" + std::to_string(s * sessionMs + i * kDelay * 1000 + 1) +
                      "), new Promise(function (done) { requestAnimationFrame(done); })");
    }
    page.eval("PavoniaPlayer.seek(" + std::to_string(kSessions * sessionMs - 300) + "); PavoniaPlayer.play()");
    if (!page.waitFor("PavoniaPlayer.state().slide === 1", 10000)) {
        std::fprintf(stderr, "the show did not loop to its first slide\n");
        std::exit(1);
    }
}

} // namespace

int main(int argc, char** argv)
{
    const std::string installData = argc > 1 ? argv[1] : PAVONIA_BENCH_DATA_DIR;
    if (test::findChromium().empty()) {
        std::fprintf(stderr, "chromium is not installed\n");
        return 1;
    }
    const auto folders = BenchFolders::make("pavonia-bench-page", installData);
    if (!folders)
        return 1;
    const auto& [root, install, temp] = *folders;

    test::PresentationPlan plan;
    plan.autoPlay = 0;
    plan.autoLoop = 1;
    plan.sessions.resize(kSessions);
    for (int s = 0; s < kSessions; ++s)
        for (int i = 0; i < kSlidesPerSession; ++i) {
            const int n = s * kSlidesPerSession + i;
            const std::string picture = root + "picture" + std::to_string(n) + ".bmp";
            test::writeTestPicture(picture, n, 640, 480);
            plan.sessions[s].slides.push_back({kDelay, n % 19 - 1, picture, "Slide " + std::to_string(n + 1),
                                               "The description of slide " + std::to_string(n + 1) + "."});
        }
    const std::string project = root + "large.pvp";
    const std::string failure = test::writePresentation(install, temp, plan, project);
    if (!failure.empty()) {
        std::fprintf(stderr, "%s\n", failure.c_str());
        return 1;
    }
    const std::string voice = root + "voice.wav";
    test::writeBurstWave(voice, 3000);
    for (int s = 1; s <= kSessions; ++s)
        runCli(install, "voice import '" + project + "' " + std::to_string(s) + " '" + voice + "'");
    const fs::path page = runCli(install, "preview '" + project + "'");

    // The baseline: a bare page showing the first slide's picture.
    std::string firstPicture;
    for (const auto& entry : fs::directory_iterator(page.parent_path()))
        if (entry.path().extension() == ".jpg" && (firstPicture.empty() || entry.path().string() < firstPicture))
            firstPicture = entry.path().string();
    const std::string bare = (page.parent_path() / "bare.htm").string();
    std::ofstream(bare) << "<!DOCTYPE html><html><body><img id=p src=\"" << fs::path(firstPicture).filename().string()
                        << "\"></body></html>";

    test::ChromiumOptions options;
    options.autoplay = true;
    test::Chromium browser(options);
    const char* const shown = "window.PavoniaPlayer && PavoniaPlayer.state().slide === 1 && "
                              "Array.prototype.every.call(document.querySelectorAll('#MediaArea img'), "
                              "function (i) { return i.complete; })";
    double bareSeconds = 1e9, pageSeconds = 1e9;
    for (int run = 0; run < 3; ++run) {
        test::BrowserPage barePage(browser);
        bareSeconds = std::min(bareSeconds, secondsUntilShown(barePage, test::fileUrl(bare),
                                                              "document.getElementById('p').complete"));
        test::BrowserPage playerPage(browser);
        pageSeconds = std::min(pageSeconds, secondsUntilShown(playerPage, test::fileUrl(page.string()), shown));
    }

    test::BrowserPage player(browser);
    player.open(test::fileUrl(page.string()));
    player.waitFor(shown, 20000);
    const double loaded = usedHeap(player);
    playCycle(player);
    const double firstCycle = usedHeap(player);
    playCycle(player);
    const double secondCycle = usedHeap(player);

    std::printf("slides: %d in %d sessions, each session narrated\n", kSessions * kSlidesPerSession, kSessions);
    std::printf("bare page with the first picture: %.3f s\n", bareSeconds);
    std::printf("player page, first slide shown:   %.3f s (goal < 2 s)\n", pageSeconds);
    std::printf("ratio player / bare page: %.2f\n", pageSeconds / bareSeconds);
    std::printf("script memory after loading:      %.1f MB\n", loaded / 1e6);
    std::printf("script memory after cycle 1:      %.1f MB\n", firstCycle / 1e6);
    std::printf("script memory after cycle 2:      %.1f MB\n", secondCycle / 1e6);
    std::printf("ratio cycle 2 / cycle 1: %.3f (goal <= 1.10)\n", secondCycle / firstCycle);
    if (!player.errors().empty())
        std::printf("page errors:\n%s", player.errorText().c_str());
    folders->remove();
    return pageSeconds < 2.0 && secondCycle <= firstCycle * 1.1 && player.errors().empty() ? 0 : 1;
}
