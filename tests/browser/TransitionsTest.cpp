// Every entry of the transition list, by its value, runs from its start to
// its end while the show plays.
#include "PlayerFixture.h"

#include <algorithm>
#include <map>

namespace pavonia::test {
namespace {

constexpr int kSlides = 20; // transitions -1 (none) to 18 (random), one a slide
constexpr int kTabs = 4;
constexpr int kSlidesPerTab = 5;
// Room after each 800 ms transition, so a busy machine that starts one a
// little late still sees it end before the next slide.
constexpr float kDelay = 1.4f;
constexpr int kDelayMs = 1400;

TEST_F(BrowserTest, EveryTransitionRunsToCompletion)
{
    PresentationPlan plan;
    plan.autoPlay = 0;
    plan.sessions.resize(1);
    for (int i = 0; i < kSlides; ++i) {
        const std::string picture = installation.root() + "picture" + std::to_string(i) + ".bmp";
        writeTestPicture(picture, i);
        plan.sessions[0].slides.push_back({kDelay, i - 1, picture, "Transition " + std::to_string(i - 1), ""});
    }
    const std::string page = previewPage(installation, makeProject(installation, plan));

    // Four tabs play five slide changes each at the same time, so the test
    // takes seven seconds instead of twenty-eight.
    std::vector<BrowserPage*> tabs;
    for (int t = 0; t < kTabs; ++t) {
        tabs.push_back(&newPage());
        openPlayer(*tabs.back(), fileUrl(page));
    }
    for (int t = 0; t < kTabs; ++t)
        tabs[t]->eval(startSampling(kSlidesPerTab * kDelayMs + 500,
                                    "PavoniaPlayer.seek(" + std::to_string((t * kSlidesPerTab + 1) * kDelayMs - 100) +
                                        "); PavoniaPlayer.play()"));
    // Each slide's samples, and the longest the page went without a frame
    // while it showed (up to the next slide's first sample).
    std::map<int, std::vector<PlayerSample>> bySlide;
    std::map<int, double> longestGap;
    for (int t = 0; t < kTabs; ++t) {
        const std::vector<PlayerSample> samples = collectSamples(*tabs[t]);
        for (std::size_t i = 0; i < samples.size(); ++i) {
            const int slide = samples[i].slide;
            if (slide < t * kSlidesPerTab + 2 || slide > (t + 1) * kSlidesPerTab + 1)
                continue;
            bySlide[slide].push_back(samples[i]);
            if (i + 1 < samples.size())
                longestGap[slide] = std::max(longestGap[slide], samples[i + 1].wallMs - samples[i].wallMs);
        }
        EXPECT_EQ(tabs[t]->errorText(), "") << "tab " << t;
    }

    for (int slide = 2; slide <= kSlides; ++slide) {
        const int value = slide - 2;
        const std::vector<PlayerSample>& samples = bySlide[slide];
        ASSERT_FALSE(samples.empty()) << "transition " << value << " was not shown";
        if (value == 18) {
            // The random entry runs one of the others.
            EXPECT_GE(samples.front().transition, 0);
            EXPECT_LT(samples.front().transition, 18);
        } else {
            EXPECT_EQ(samples.front().transition, value);
        }
        EXPECT_LT(samples.front().transitionProgress, 1) << "transition " << value << " did not run";
        double progress = 0;
        bool done = false;
        for (const PlayerSample& s : samples) {
            EXPECT_GE(s.transitionProgress, progress) << "transition " << value << " went back at " << s.timeMs;
            progress = s.transitionProgress;
            done = done || progress >= 1;
        }
        // A page that went without frames for a long while (a busy
        // machine) may reach the next slide first, which ends the
        // transition at once; with frames coming, it runs to its end.
        if (longestGap[slide] < 150) {
            EXPECT_TRUE(done) << "transition " << value << " stopped at " << progress;
        }
    }
}

} // namespace
} // namespace pavonia::test
