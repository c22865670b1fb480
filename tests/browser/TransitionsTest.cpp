// Every entry of the transition list, by its value, runs from its start to
// its end while the show plays.
#include "PlayerFixture.h"

#include <map>

namespace pavonia::test {
namespace {

constexpr int kSlides = 20; // transitions -1 (none) to 18 (random), one a slide
constexpr int kTabs = 4;
constexpr int kSlidesPerTab = 5;

TEST_F(BrowserTest, EveryTransitionRunsToCompletion)
{
    PresentationPlan plan;
    plan.autoPlay = 0;
    plan.sessions.resize(1);
    for (int i = 0; i < kSlides; ++i) {
        const std::string picture = installation.root() + "picture" + std::to_string(i) + ".bmp";
        writeTestPicture(picture, i);
        plan.sessions[0].slides.push_back({1.0f, i - 1, picture, "Transition " + std::to_string(i - 1), ""});
    }
    const std::string page = previewPage(installation, makeProject(installation, plan));

    // Four tabs play five slide changes each at the same time, so the test
    // takes five seconds instead of twenty.
    std::vector<BrowserPage*> tabs;
    for (int t = 0; t < kTabs; ++t) {
        tabs.push_back(&newPage());
        openPlayer(*tabs.back(), fileUrl(page));
    }
    for (int t = 0; t < kTabs; ++t)
        tabs[t]->eval(startSampling(5400, "PavoniaPlayer.seek(" + std::to_string(t * kSlidesPerTab * 1000 + 900) +
                                              "); PavoniaPlayer.play()"));
    std::map<int, std::vector<PlayerSample>> bySlide;
    for (int t = 0; t < kTabs; ++t) {
        for (const PlayerSample& s : collectSamples(*tabs[t]))
            if (s.slide >= t * kSlidesPerTab + 2 && s.slide <= (t + 1) * kSlidesPerTab + 1)
                bySlide[s.slide].push_back(s);
        EXPECT_EQ(tabs[t]->errorText(), "") << "tab " << t;
    }

    for (int slide = 2; slide <= kSlides; ++slide) {
        const int value = slide - 2;
        const std::vector<PlayerSample>& samples = bySlide[slide];
        ASSERT_GT(samples.size(), 5u) << "transition " << value << " was not shown";
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
        EXPECT_TRUE(done) << "transition " << value << " stopped at " << progress;
    }
}

} // namespace
} // namespace pavonia::test
