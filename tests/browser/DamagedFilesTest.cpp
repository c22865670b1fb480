// A published presentation with files gone bad after publishing: a missing
// picture, a voice the browser cannot decode, a damaged face script. The
// page says what is missing, and the rest of the presentation plays on.
#include "PlayerFixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace pavonia::test {
namespace {

using nlohmann::json;

// The published files of `folder` whose names end with `suffix`, in name
// order.
std::vector<fs::path> publishedFiles(const fs::path& folder, const std::string& suffix)
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().ends_with(suffix))
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

TEST_F(BrowserTest, DamagedFilesLeaveTheRestPlaying)
{
    const std::string voice = installation.root() + "voice.wav";
    writeBurstWave(voice, 1500);
    PresentationPlan plan;
    plan.autoPlay = 0;
    std::vector<std::string> pictures;
    for (int i = 0; i < 4; ++i) {
        pictures.push_back(installation.root() + "picture" + std::to_string(i) + ".bmp");
        writeTestPicture(pictures.back(), i);
    }
    plan.sessions = {{{{1.0f, -1, pictures[0], "One", ""}, {1.0f, -1, pictures[1], "Two", ""}}},
                     {{{1.0f, -1, pictures[2], "Three", ""}, {1.0f, -1, pictures[3], "Four", ""}}}};
    const fs::path page = previewPage(installation, makeProject(installation, plan, {voice, voice}));
    const fs::path folder = page.parent_path();

    // The first slide's picture is gone, the first session's voice is noise
    // and the face script (both sessions show the default face) is cut off
    // in the middle.
    const std::vector<fs::path> jpegs = publishedFiles(folder, ".jpg");
    const std::vector<fs::path> voices = publishedFiles(folder, ".tps");
    const std::vector<fs::path> faceScripts = publishedFiles(folder, ".tjm.js");
    ASSERT_GE(jpegs.size(), 4u);
    ASSERT_EQ(voices.size(), 2u);
    ASSERT_EQ(faceScripts.size(), 1u);
    // The first slide's picture is the one the page names first among its
    // slides.
    const std::string pageText = readFile(page.string());
    const std::size_t slidesStart = pageText.find("AppendPageInfo(");
    ASSERT_NE(slidesStart, std::string::npos);
    fs::path firstJpeg;
    for (const fs::path& jpeg : jpegs) {
        const std::size_t at = pageText.find(jpeg.filename().string(), slidesStart);
        if (at != std::string::npos && (firstJpeg.empty() || at < pageText.find(firstJpeg.filename().string(), slidesStart)))
            firstJpeg = jpeg;
    }
    ASSERT_FALSE(firstJpeg.empty());
    const std::string firstPicture = firstJpeg.filename().string();
    fs::remove(firstJpeg);
    const std::string voiceHeader = readFile(voices.front().string()).substr(0, 44);
    std::ofstream(voices.front(), std::ios::binary) << voiceHeader << std::string(20000, '\x7f');
    const std::string faceScript = readFile(faceScripts.front().string());
    std::ofstream(faceScripts.front(), std::ios::binary) << faceScript.substr(0, faceScript.size() / 2);

    BrowserPage& tab = newPage();
    openPlayer(tab, fileUrl(page.string()));
    tab.browser().pump(500);
    // The missing picture becomes a card naming it.
    EXPECT_TRUE(tab.waitFor("document.getElementById('MediaArea').textContent.indexOf('" + firstPicture + "') >= 0",
                            3000))
        << tab.eval("document.getElementById('MediaArea').innerHTML").dump();

    // Both sessions play on.
    for (const int from : {0, 2000}) {
        tab.eval(startSampling(800, "PavoniaPlayer.seek(" + std::to_string(from) + "); PavoniaPlayer.play()"));
        const std::vector<PlayerSample> samples = collectSamples(tab);
        ASSERT_FALSE(samples.empty());
        EXPECT_TRUE(samples.back().playing) << "from " << from;
        EXPECT_GT(samples.back().timeMs, from + 400) << "the show stalled from " << from;
        EXPECT_EQ(samples.back().session, from == 0 ? 1 : 2);
        tab.eval("PavoniaPlayer.pause()");
    }

    // What went wrong is reported against the bad files only, never as a
    // fault of the player itself.
    for (const std::string& error : tab.errors()) {
        const bool aboutBadFile = error.find(firstPicture) != std::string::npos ||
                                  error.find(voices.front().filename().string()) != std::string::npos ||
                                  error.find(faceScripts.front().filename().string()) != std::string::npos;
        EXPECT_TRUE(aboutBadFile) << error;
    }
}

} // namespace
} // namespace pavonia::test
