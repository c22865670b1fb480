#include "voice/FaceRig.h"

#include <gtest/gtest.h>

namespace pavonia {
namespace {

LipSyncFrame frame(int open, int width, int round, int teeth, Viseme viseme)
{
    return {static_cast<std::int16_t>(open), static_cast<std::int16_t>(width), static_cast<std::int16_t>(round),
            static_cast<std::int16_t>(teeth), 50, static_cast<std::int16_t>(viseme)};
}

TEST(FaceRig, MouthFollowsTheFrame)
{
    const TjmRig rig;
    const MouthPose rest = mouthPoseFor(LipSyncFrame{}, rig);
    EXPECT_TRUE(rest.closed());
    EXPECT_EQ(rest.teeth, 0.0) << "no teeth behind closed lips";
    EXPECT_DOUBLE_EQ(rest.centerX, rig.mouthX);

    const MouthPose vowel = mouthPoseFor(frame(90, 60, 0, 30, Viseme::OpenVowel), rig);
    EXPECT_GT(vowel.opening(), 0.8 * rig.mouthOpenHeight);
    EXPECT_GT(vowel.lowerDrop, vowel.upperLift) << "the jaw carries the lower lip";

    const MouthPose spread = mouthPoseFor(frame(40, 100, 0, 0, Viseme::MidVowel), rig);
    const MouthPose plain = mouthPoseFor(frame(40, 50, 0, 0, Viseme::MidVowel), rig);
    const MouthPose rounded = mouthPoseFor(frame(40, 50, 90, 0, Viseme::Rounded), rig);
    EXPECT_GT(spread.halfWidth, plain.halfWidth);
    EXPECT_LT(rounded.halfWidth, 0.75 * plain.halfWidth);
    EXPECT_GT(rounded.lipThickness, plain.lipThickness) << "rounded lips push forward";

    EXPECT_GE(mouthPoseFor(frame(20, 60, 0, 0, Viseme::Fricative), rig).teeth, 0.7);
}

TEST(FaceRig, SilenceClosuresAndZeroArticulationCloseTheMouth)
{
    const TjmRig rig;
    EXPECT_TRUE(mouthPoseFor(frame(60, 50, 0, 50, Viseme::Closure), rig).closed());
    EXPECT_TRUE(mouthPoseFor(frame(60, 50, 0, 50, Viseme::Rest), rig).closed());
    EXPECT_TRUE(mouthPoseFor(frame(60, 50, 0, 50, Viseme::OpenVowel), rig, 0).closed());
    // Values outside their ranges are held to them.
    const MouthPose wild = mouthPoseFor(frame(30000, -5, 400, 200, static_cast<Viseme>(99)), rig);
    EXPECT_LE(wild.opening(), rig.mouthOpenHeight);
    EXPECT_GT(wild.halfWidth, 0.0);
    EXPECT_EQ(wild.viseme, 7);
}

TEST(FaceRig, BlinksEveryFewSecondsAndFullyCloses)
{
    TjmRig rig;
    rig.blinkEveryMs = 4000;
    rig.blinkMs = 200;
    Blinker blinker(rig, 7);
    int blinks = 0;
    int closedSamples = 0;
    double deepest = 0.0;
    bool wasClosed = false;
    const int samples = 60000 / 10;
    for (int ms = 0; ms < 60000; ms += 10) {
        const double lid = blinker.lidClosure(ms);
        ASSERT_GE(lid, 0.0);
        ASSERT_LE(lid, 1.0);
        deepest = std::max(deepest, lid);
        closedSamples += lid > 0.0;
        const bool closed = lid > 0.5;
        blinks += closed && !wasClosed;
        wasClosed = closed;
    }
    EXPECT_GE(blinks, 8);
    EXPECT_LE(blinks, 30);
    EXPECT_GT(deepest, 0.95);
    EXPECT_LT(closedSamples, samples / 10) << "the eyes are open nearly all the time";
}

TEST(FaceRig, BlinkScheduleIsSeededAndRestartsWhenTimeGoesBack)
{
    const TjmRig rig;
    Blinker a(rig, 1);
    Blinker b(rig, 1);
    Blinker other(rig, 99);
    bool differs = false;
    for (int ms = 0; ms < 30000; ms += 20) {
        ASSERT_EQ(a.lidClosure(ms), b.lidClosure(ms));
        differs = differs || a.lidClosure(ms) != other.lidClosure(ms);
    }
    EXPECT_TRUE(differs);
    Blinker fresh(rig, 1);
    for (int ms = 0; ms < 10000; ms += 20)
        ASSERT_EQ(a.lidClosure(ms), fresh.lidClosure(ms)) << "after going back to " << ms;
}

} // namespace
} // namespace pavonia
