// The published page plays a presentation on its timeline: slides follow
// their delays on the voice's clock, the mouth follows the voice, a start
// slide starts there, the show loops, and a moment drawn twice looks the same.
#include "PlayerFixture.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <cstdlib>
#include <fstream>

namespace pavonia::test {
namespace {

using nlohmann::json;

// Session 1 speaks for 3.4 s (300 ms of voice in every 600 ms) over three
// slides of 1 s, so its last slide stays up until the voice ends; session 2
// is silent, two slides of 0.8 s.
constexpr int kVoiceMs = 3400;
struct Boundary {
    double ms;
    int slide; // numbered from 1
    int session;
};
const std::vector<Boundary> kTimeline = {{0, 1, 1}, {1000, 2, 1}, {2000, 3, 1}, {3400, 4, 2}, {4200, 5, 2}};
constexpr double kDurationMs = 5000;

// The slide that should show at timeline moment `ms`.
const Boundary& expectedAt(double ms)
{
    const Boundary* found = &kTimeline.front();
    for (const Boundary& b : kTimeline)
        if (ms >= b.ms)
            found = &b;
    return *found;
}

// How far `ms` lies from the nearest slide change.
double distanceToChange(double ms)
{
    double nearest = 1e9;
    for (const Boundary& b : kTimeline)
        if (b.ms > 0)
            nearest = std::min(nearest, std::abs(ms - b.ms));
    return nearest;
}

// The box around the page's presentation: heading, talking image, sub-topic,
// media and description (the controls stay out of it).
const char* const kPresentationBox = R"((function () {
    var ids = ["HeadingArea", "TalkerArea", "SubTopicArea", "MediaArea", "DescriptionLayer"];
    var box = null;
    ids.forEach(function (id) {
        var e = document.getElementById(id);
        if (!e) return;
        var r = e.getBoundingClientRect();
        if (r.width <= 0 || r.height <= 0) return;
        box = box ? { l: Math.min(box.l, r.left), t: Math.min(box.t, r.top), r: Math.max(box.r, r.right), b: Math.max(box.b, r.bottom) }
                  : { l: r.left, t: r.top, r: r.right, b: r.bottom };
    });
    return box ? { x: box.l, y: box.t, width: box.r - box.l, height: box.b - box.t } : null;
})())";

class PlayerTimingTest : public BrowserTest {
protected:
    std::string project(int autoPlay = 0)
    {
        const std::string voice = installation.root() + "voice.wav";
        writeBurstWave(voice, kVoiceMs);
        PresentationPlan plan;
        plan.autoPlay = autoPlay;
        std::vector<std::string> pictures;
        for (int i = 0; i < 5; ++i) {
            pictures.push_back(installation.root() + "picture" + std::to_string(i) + ".bmp");
            writeTestPicture(pictures.back(), i);
        }
        plan.sessions = {
            {{{1.0f, -1, pictures[0], "One", "First"},
              {1.0f, 18, pictures[1], "Two", "Second"},
              {1.0f, 5, pictures[2], "Three", "Third"}}},
            {{{0.8f, 13, pictures[3], "Four", "Fourth"}, {0.8f, 0, pictures[4], "Five", "Fifth"}}},
        };
        return makeProject(installation, plan, {voice, ""});
    }
};

TEST_F(PlayerTimingTest, SlidesFollowTheDelaysOnTheVoiceClockAndTheMouthFollowsTheVoice)
{
    const std::string page = previewPage(installation, project());
    BrowserPage& tab = newPage();
    openPlayer(tab, fileUrl(page));
    const json start = state(tab);
    EXPECT_EQ(start["slide"], 1);
    EXPECT_EQ(start["session"], 1);
    EXPECT_EQ(start["playing"], false) << "AutoPlay is off";
    EXPECT_NEAR(start["durationMs"].get<double>(), kDurationMs, 1);

    tab.eval(startSampling(5400, "PavoniaPlayer.seek(0); PavoniaPlayer.play()"));
    const std::vector<PlayerSample> samples = collectSamples(tab);
    ASSERT_GT(samples.size(), 100u);
    EXPECT_EQ(tab.errorText(), "");

    // Every sample shows the slide of its moment, away from the changes.
    int wrongSlides = 0;
    for (const PlayerSample& s : samples) {
        if (distanceToChange(s.timeMs) <= 100 || s.timeMs >= kDurationMs)
            continue;
        const Boundary& expected = expectedAt(s.timeMs);
        if (s.slide != expected.slide || s.session != expected.session) {
            ++wrongSlides;
            ADD_FAILURE() << "at " << s.timeMs << " ms: slide " << s.slide << " of session " << s.session
                          << ", expected slide " << expected.slide << " of session " << expected.session;
        }
        if (wrongSlides > 5)
            break;
    }

    // Within a session the timeline runs with the wall clock, so a slide
    // changes within 100 ms of when its delays say. A reading of the state
    // can only lag behind (the page works out its time once a frame), so
    // each sample is measured against the least lag of its session; a busy
    // machine may stall a few frames, so one sample in ten may lag more.
    for (int session = 1; session <= 2; ++session) {
        const double from = session == 1 ? 0 : 3400, to = session == 1 ? 3400 : kDurationMs;
        std::vector<double> lags;
        for (const PlayerSample& s : samples)
            if (s.session == session && s.playing && s.timeMs > from + 50 && s.timeMs < to - 50)
                lags.push_back(s.wallMs - s.timeMs);
        ASSERT_GT(lags.size(), 50u) << "session " << session << " hardly played";
        const double least = *std::min_element(lags.begin(), lags.end());
        const auto late = std::count_if(lags.begin(), lags.end(), [&](double lag) { return lag > least + 100; });
        EXPECT_LE(late, static_cast<long>(lags.size() / 10))
            << late << " of " << lags.size() << " samples of session " << session << " lag the wall clock by more than 100 ms";
    }
    std::vector<int> shown;
    for (const PlayerSample& s : samples)
        if (shown.empty() || shown.back() != s.slide)
            shown.push_back(s.slide);
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_FALSE(samples.back().playing) << "the show stops after the last slide without AutoLoop";

    // The mouth opens while the voice sounds and rests in its pauses and in
    // the silent session.
    int voiced = 0, voicedOpen = 0, silent = 0, silentShut = 0, muted = 0, mutedShut = 0;
    for (const PlayerSample& s : samples) {
        if (!s.playing)
            continue;
        const double phase = std::fmod(s.timeMs, 600);
        if (s.session == 1 && s.timeMs < kVoiceMs - 100 && phase > 80 && phase < 220) {
            ++voiced;
            voicedOpen += s.mouthOpen > 0.05;
        } else if (s.session == 1 && s.timeMs < kVoiceMs && phase > 400 && phase < 540) {
            ++silent;
            silentShut += s.mouthOpen < 0.02;
        } else if (s.session == 2) {
            ++muted;
            mutedShut += s.mouthOpen < 0.02;
        }
    }
    ASSERT_GT(voiced, 20);
    ASSERT_GT(silent, 20);
    ASSERT_GT(muted, 20);
    EXPECT_GE(voicedOpen, voiced * 9 / 10) << voicedOpen << " of " << voiced << " voiced samples open";
    EXPECT_GE(silentShut, silent * 9 / 10) << silentShut << " of " << silent << " silent samples shut";
    EXPECT_EQ(mutedShut, muted);
}

TEST_F(PlayerTimingTest, SeekAndRenderAtShowTheSlideOfTheirMoment)
{
    const std::string page = previewPage(installation, project());
    BrowserPage& tab = newPage();
    openPlayer(tab, fileUrl(page));
    for (const double ms : {0.0, 950.0, 1050.0, 1950.0, 2050.0, 3350.0, 3450.0, 4150.0, 4250.0, 4990.0}) {
        const Boundary& expected = expectedAt(ms);
        for (const char* call : {"seek", "renderAt"}) {
            const json s = tab.eval("PavoniaPlayer." + std::string(call) + "(" + std::to_string(ms) +
                                    "), PavoniaPlayer.state()");
            EXPECT_EQ(s["slide"], expected.slide) << call << "(" << ms << ")";
            EXPECT_EQ(s["session"], expected.session) << call << "(" << ms << ")";
            EXPECT_NEAR(s["timeMs"].get<double>(), ms, 1) << call << "(" << ms << ")";
        }
    }
    // renderAt draws the mouth of its moment.
    EXPECT_GT(tab.eval("PavoniaPlayer.renderAt(150), PavoniaPlayer.state().mouthOpen").get<double>(), 0.05);
    EXPECT_LT(tab.eval("PavoniaPlayer.renderAt(450), PavoniaPlayer.state().mouthOpen").get<double>(), 0.02);
    EXPECT_LT(tab.eval("PavoniaPlayer.renderAt(3800), PavoniaPlayer.state().mouthOpen").get<double>(), 0.02);
    EXPECT_EQ(tab.errorText(), "");
}

TEST_F(PlayerTimingTest, RenderAtDrawsTheSamePictureForTheSameMoment)
{
    const std::string page = previewPage(installation, project());
    BrowserPage& tab = newPage();
    openPlayer(tab, fileUrl(page));
    // Let the pictures and the face arrive.
    tab.browser().pump(500);
    // Mid-transition (a random one) with the mouth open, and a later moment.
    const auto pictureAt = [&](double ms) {
        tab.eval("PavoniaPlayer.renderAt(" + std::to_string(ms) + ")");
        // The controls may fade to their new state: let them settle, so
        // that only what renderAt draws is compared.
        tab.browser().pump(600);
        tab.eval("new Promise(function (done) { requestAnimationFrame(function () { requestAnimationFrame(done); }); })");
        return tab.screenshot(tab.eval(kPresentationBox));
    };
    const std::string first = pictureAt(1150);
    const std::string other = pictureAt(1500);
    const std::string again = pictureAt(1150);
    EXPECT_GT(first.size(), 1000u);
    EXPECT_TRUE(first == again) << "renderAt(1150) drew two different pictures";
    if (first != again && std::getenv("PAVONIA_KEEP_SCREENSHOTS")) {
        std::ofstream(std::string(std::getenv("PAVONIA_KEEP_SCREENSHOTS")) + "/first.png", std::ios::binary) << first;
        std::ofstream(std::string(std::getenv("PAVONIA_KEEP_SCREENSHOTS")) + "/again.png", std::ios::binary) << again;
    }
    EXPECT_FALSE(first == other) << "renderAt drew the same picture for 1150 and 1500 ms";
    EXPECT_EQ(tab.errorText(), "");
}

// "--slide N" of the preview starts the page at that slide; inside a
// speaking session the voice starts at the slide's mark.
TEST_F(PlayerTimingTest, TheStartSlideStartsThereAndTheVoiceFromItsMark)
{
    const std::string deck = project();
    for (const int slide : {1, 2, 3}) {
        const std::string page = previewPage(installation, deck, slide);
        BrowserPage& tab = newPage();
        openPlayer(tab, fileUrl(page));
        const Boundary& expected = kTimeline[static_cast<std::size_t>(slide)];
        json s = state(tab);
        EXPECT_EQ(s["slide"], slide + 1);
        EXPECT_EQ(s["session"], expected.session);
        EXPECT_NEAR(s["timeMs"].get<double>(), expected.ms, 1) << "slide " << slide;

        // Playing runs on from the mark, never ahead of the wall clock.
        tab.eval(startSampling(600, "PavoniaPlayer.play()"));
        const std::vector<PlayerSample> samples = collectSamples(tab);
        ASSERT_FALSE(samples.empty());
        for (const PlayerSample& s : samples) {
            EXPECT_EQ(s.slide, slide + 1) << "at " << s.timeMs;
            EXPECT_GE(s.timeMs, expected.ms);
            EXPECT_LE(s.timeMs, expected.ms + s.wallMs + 50) << "slide " << slide;
        }
        EXPECT_TRUE(samples.back().playing);
        EXPECT_GT(samples.back().timeMs, expected.ms + 100) << "slide " << slide << ": the clock did not run";
        EXPECT_EQ(tab.errorText(), "") << "slide " << slide;
    }
}

TEST_F(PlayerTimingTest, AutoLoopWrapsToTheFirstSlideAndKeepsPlaying)
{
    const std::string voice = installation.root() + "voice.wav";
    writeBurstWave(voice, 1200);
    PresentationPlan plan;
    plan.autoPlay = 0;
    plan.autoLoop = 1;
    plan.sessions = {{{{0.5f, -1, "", "One", ""}, {0.5f, 18, "", "Two", ""}}}, {{{0.5f, 3, "", "Three", ""}}}};
    const std::string page = previewPage(installation, makeProject(installation, plan, {"", voice}));
    BrowserPage& tab = newPage();
    openPlayer(tab, fileUrl(page));
    const double duration = state(tab)["durationMs"].get<double>();
    EXPECT_NEAR(duration, 2200, 1);

    tab.eval(startSampling(1500, "PavoniaPlayer.seek(" + std::to_string(duration - 400) + "); PavoniaPlayer.play()"));
    const std::vector<PlayerSample> samples = collectSamples(tab);
    ASSERT_FALSE(samples.empty());
    EXPECT_EQ(samples.front().slide, 3);
    const auto wrapped = std::find_if(samples.begin(), samples.end(), [](const PlayerSample& s) { return s.slide == 1; });
    ASSERT_NE(wrapped, samples.end()) << "the show did not return to the first slide";
    // The last session runs to its end on its own clock, and the first
    // slide follows at once.
    ASSERT_NE(wrapped, samples.begin());
    const PlayerSample& last = *(wrapped - 1);
    EXPECT_GE(last.timeMs, duration - 150) << "the last session was cut short";
    EXPECT_LE(wrapped->wallMs - last.wallMs, 150 + (duration - last.timeMs)) << "the show paused before it looped";
    EXPECT_EQ(wrapped->session, 1);
    EXPECT_LT(wrapped->timeMs, 150);
    EXPECT_TRUE(samples.back().playing);
    // (Past the first session the next voice may take a moment to start.)
    EXPECT_GT(samples.back().timeMs, std::min(samples.back().wallMs - wrapped->wallMs - 100, 900.0))
        << "the show stalled after the wrap";
    EXPECT_EQ(tab.errorText(), "");
}

} // namespace
} // namespace pavonia::test
