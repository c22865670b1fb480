// When each slide is on screen and which transition runs, as the page's
// player works them out.
#include "export/video/VideoTimeline.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace pavonia {
namespace {

// Session 1 (voice longer than its delays): slides of 2 s, 0 s (passed
// over) and 1 s, lasting 5 s. Session 2: slides of 1 s and 3 s, no voice.
VideoTimeline twoSessions()
{
    std::vector<VideoSession> sessions = {
        {0, 5000, "", "a.tps", true, 0, 3},
        {5000, 4000, "", "", false, 3, 2},
    };
    std::vector<VideoSlide> slides = {
        {0, 0, 0, 2000, -1, "one"},
        {0, 2000, 2000, 0, 6, "passed over"},
        {0, 2000, 2000, 1000, 17, "three"},
        {1, 5000, 0, 1000, 5, "four"},
        {1, 6000, 1000, 3000, 18, "five"},
    };
    return VideoTimeline(sessions, slides);
}

TEST(VideoTimelineTest, SlideAtAMomentFollowsThePlayer)
{
    const VideoTimeline line = twoSessions();
    EXPECT_EQ(line.durationMs(), 9000);
    const struct {
        std::int64_t ms;
        int slide;
    } cases[] = {
        {-50, 0}, {0, 0}, {1999, 0},
        {2000, 2},           // the slide without delay is passed over
        {4999, 2},           // the last slide stays up while the voice speaks
        {5000, 3}, {5999, 3}, {6000, 4},
        {9000, 4}, {12000, 4}, // the end and past it: the last slide
    };
    for (const auto& c : cases)
        EXPECT_EQ(line.slideAt(c.ms), c.slide) << c.ms << " ms";
}

TEST(VideoTimelineTest, TransitionsRunAsOnThePage)
{
    const VideoTimeline line = twoSessions();
    // Full length, or half the slide's own time when that is shorter.
    EXPECT_DOUBLE_EQ(line.transitionLengthMs(2), 800); // own time 3000 ms (to the session's end)
    EXPECT_DOUBLE_EQ(line.transitionLengthMs(3), 500); // own time 1000 ms
    EXPECT_DOUBLE_EQ(line.transitionLengthMs(1), 800); // no own time

    VideoTransition t = line.transitionAt(2400);
    EXPECT_EQ(t.type, 17);
    EXPECT_EQ(t.from, 1); // the slide before it in the list, as the page's picture of a moment has it
    EXPECT_DOUBLE_EQ(t.progress, 0.5);
    EXPECT_EQ(line.transitionAt(2800).type, -1); // over
    EXPECT_EQ(line.transitionAt(1000).type, -1); // the first slide has none
    t = line.transitionAt(5250);
    EXPECT_EQ(t.type, 5);
    EXPECT_DOUBLE_EQ(t.progress, 0.5);
    // The random entry: the transition the page's seeded generator picks
    // for the fifth slide.
    EXPECT_EQ(line.transitionOf(4), 6);
}

TEST(VideoTimelineTest, ChaptersCoverTheSlidesShown)
{
    const VideoTimeline line = twoSessions();
    const std::vector<VideoChapter> whole = line.chapters(line.durationMs());
    ASSERT_EQ(whole.size(), 4u);
    const std::int64_t expected[][3] = {{0, 0, 2000}, {2, 2000, 5000}, {3, 5000, 6000}, {4, 6000, 9000}};
    for (std::size_t i = 0; i < whole.size(); ++i) {
        EXPECT_EQ(whole[i].slide, expected[i][0]);
        EXPECT_EQ(whole[i].startMs, expected[i][1]);
        EXPECT_EQ(whole[i].endMs, expected[i][2]);
    }
    EXPECT_EQ(whole[1].title, "three");
    // A sample cut at 5.5 s ends in the fourth slide's chapter.
    const std::vector<VideoChapter> cut = line.chapters(5500);
    ASSERT_EQ(cut.size(), 3u);
    EXPECT_EQ(cut.back().endMs, 5500);
}

TEST(VideoTimelineTest, PageDataThatDoesNotHoldTogetherIsRefused)
{
    const nlohmann::json good = {
        {"sessions", {{{"startMs", 0}, {"durationMs", 1000}, {"firstSlide", 0}, {"slideCount", 1}}}},
        {"slides", {{{"session", 0}, {"startMs", 0}, {"offsetMs", 0}, {"delayMs", 1000}, {"transition", -1}}}}};
    ASSERT_TRUE(VideoTimeline::fromJson(good));
    nlohmann::json wrongSession = good;
    wrongSession["slides"][0]["session"] = 3;
    nlohmann::json tooManySlides = good;
    tooManySlides["sessions"][0]["slideCount"] = 2;
    const nlohmann::json empty;
    for (const nlohmann::json& bad : {wrongSession, tooManySlides, nlohmann::json::array(), empty})
        EXPECT_FALSE(VideoTimeline::fromJson(bad)) << bad.dump();
}

} // namespace
} // namespace pavonia
