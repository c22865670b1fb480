// The bundled sample project, narrated at build time, published with the
// preview and played from disk and over HTTP: every session's voice sounds
// and the face speaks along with it.
#include "LoopbackHttpServer.h"
#include "PlayerFixture.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace pavonia::test {
namespace {

using nlohmann::json;

// Keeps every sound or video element the page starts, so the test can ask
// whether the voice really plays.
const char* const kMediaProbe = R"(
    window.pvMedia = [];
    (function () {
        var play = HTMLMediaElement.prototype.play;
        HTMLMediaElement.prototype.play = function () {
            if (window.pvMedia.indexOf(this) < 0)
                window.pvMedia.push(this);
            return play.apply(this, arguments);
        };
    })();
)";

const char* const kVoiceSounding =
    "window.pvMedia.some(function (m) { return !m.paused && m.currentTime > 0.5 && /\\.tps$/i.test(m.src); })";

class SampleTest : public BrowserTest {};

TEST_F(SampleTest, EverySessionSpeaksFromDiskAndOverHttp)
{
    ASSERT_TRUE(fs::exists(PAVONIA_SAMPLE_PROJECT));
    const std::string project = installation.root() + "Sample.pvp";
    fs::copy_file(PAVONIA_SAMPLE_PROJECT, project);
    const std::string page = previewPage(installation, project);
    const fs::path published(page);
    LoopbackHttpServer server(published.parent_path().string());

    for (const std::string& url : {fileUrl(page), server.url(published.filename().string())}) {
        BrowserPage& tab = newPage();
        tab.addInitScript(kMediaProbe);
        openPlayer(tab, url);
        const json start = state(tab);
        EXPECT_EQ(start["session"], 1) << url;
        EXPECT_EQ(start["playing"], true) << url << ": the sample plays by itself";
        EXPECT_GT(start["durationMs"].get<double>(), 30000) << url << ": two narrated sessions";

        // The first session from its start, the second a little way in.
        for (const int from : {0, 16500}) {
            tab.eval(startSampling(1500, "PavoniaPlayer.seek(" + std::to_string(from) + "); PavoniaPlayer.play()"));
            const std::vector<PlayerSample> samples = collectSamples(tab);
            ASSERT_FALSE(samples.empty());
            const int session = from == 0 ? 1 : 2;
            EXPECT_EQ(samples.back().session, session) << url;
            EXPECT_GT(samples.back().timeMs - from, 1000) << url << ": session " << session << " did not play";
            int open = 0;
            for (const PlayerSample& s : samples)
                open += s.mouthOpen > 0.1;
            EXPECT_GT(open, static_cast<int>(samples.size()) / 4)
                << url << ": the face hardly spoke in session " << session;
            EXPECT_TRUE(tab.eval(kVoiceSounding).get<bool>()) << url << ": no voice sounds in session " << session;
        }
        EXPECT_EQ(tab.errorText(), "") << url;
    }
}

} // namespace
} // namespace pavonia::test
