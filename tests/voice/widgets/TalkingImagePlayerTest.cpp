#include "voice/widgets/TalkingImagePlayer.h"

#include "ResultCheck.h"
#include "TestInstallation.h"
#include "voice/TpsFile.h"

#include <QApplication>
#include <QImage>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

namespace pavonia {
namespace {

class TalkingImagePlayerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "voice_widgets_tests";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance())
            app_ = std::make_unique<QApplication>(argc, argv);
    }
    // The application goes before the program's static objects do.
    static void TearDownTestSuite() { app_.reset(); }

    void SetUp() override
    {
        player_ = std::make_unique<TalkingImagePlayer>(clock_, 5);
        player_->resize(256, 256);
        defaultFace_ = installation_.folder() + "default_tjm.tjm";
    }

    QImage grab() { return player_->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    void show(const LipSyncFrame& frame)
    {
        player_->setFrame(frame);
        player_->animationControl(2);
    }

    // Pixels that differ between two grabs, counted inside and outside a box.
    static void countChanges(const QImage& a, const QImage& b, const QRect& box, int& inside, int& outside)
    {
        inside = outside = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                if (a.pixel(x, y) != b.pixel(x, y))
                    ++(box.contains(x, y) ? inside : outside);
    }

    static std::unique_ptr<QApplication> app_;
    test::TestInstallation installation_;
    test::FixedClock clock_;
    std::unique_ptr<TalkingImagePlayer> player_;
    std::string defaultFace_;
};

std::unique_ptr<QApplication> TalkingImagePlayerTest::app_;

const LipSyncFrame kOpenVowel{90, 60, 0, 40, 70, static_cast<std::int16_t>(Viseme::OpenVowel)};

TjmRig rigOf(const std::string& path)
{
    TjmFile file;
    EXPECT_TRUE(readTjmFile(path, file));
    return file.rig;
}

// The face on screen: the default face is square, so it fills a square widget.
QRect mouthBox(const TjmRig& rig, double scale)
{
    const int halfWidth = int(rig.mouthWidth * 0.8 * scale);
    return QRect(int(rig.mouthX * scale) - halfWidth, int((rig.mouthY - rig.mouthOpenHeight) * scale), 2 * halfWidth,
                 int(rig.mouthOpenHeight * 2.2 * scale));
}

TEST_F(TalkingImagePlayerTest, DefaultFaceOpensItsMouthForAnOpenFrameOnly)
{
    ASSERT_EQ(player_->loadTalkingImage(defaultFace_), TalkingImagePlayer::LoadResult::Loaded);
    EXPECT_EQ(player_->currentImageFile(), defaultFace_);
    EXPECT_TRUE(test::failureText(player_->lastError()).empty());

    show(LipSyncFrame{});
    const QImage closed = grab();
    show(kOpenVowel);
    const QImage open = grab();
    int inside = 0;
    int outside = 0;
    countChanges(closed, open, mouthBox(rigOf(defaultFace_), 0.5), inside, outside);
    EXPECT_GT(inside, 300);
    EXPECT_EQ(outside, 0) << "only the mouth moves";

    // A dark opening appears in the middle of the mouth.
    const TjmRig rig = rigOf(defaultFace_);
    const QColor middle = open.pixelColor(rig.mouthX / 2, (rig.mouthY + rig.mouthOpenHeight / 4) / 2);
    EXPECT_LT(middle.lightness(), closed.pixelColor(rig.mouthX / 2, (rig.mouthY + rig.mouthOpenHeight / 4) / 2).lightness());

    // Stop closes the mouth again.
    player_->stop();
    EXPECT_EQ(player_->shownFrame(), LipSyncFrame{});
    EXPECT_EQ(grab(), closed);
}

TEST_F(TalkingImagePlayerTest, DamagedOrMissingImagesLeaveTheNeutralFace)
{
    const QImage neutral = grab();
    std::string face = test::readFile(defaultFace_);
    std::string newer = face;
    newer[4] = 9;
    std::string undecodable = face;
    const std::size_t pictureAt = 12 + 58 + 4;
    for (std::size_t i = pictureAt + 8; i < pictureAt + 200; ++i)
        undecodable[i] = 'x'; // a PNG signature followed by rubbish
    struct Case {
        const char* name;
        std::string content;
        TalkingImagePlayer::LoadResult expected;
    };
    const Case cases[] = {
        {"rubbish.tjm", "this is not a face", TalkingImagePlayer::LoadResult::Damaged},
        {"cut.tjm", face.substr(0, face.size() / 2), TalkingImagePlayer::LoadResult::Damaged},
        {"undecodable.tjm", undecodable, TalkingImagePlayer::LoadResult::Damaged},
        {"newer.tjm", newer, TalkingImagePlayer::LoadResult::Newer},
        {"missing.tjm", "", TalkingImagePlayer::LoadResult::Missing},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(player_->loadTalkingImage(defaultFace_), TalkingImagePlayer::LoadResult::Loaded);
        const std::string path = c.expected == TalkingImagePlayer::LoadResult::Missing
                                     ? installation_.folder() + c.name
                                     : installation_.writeFile(c.name, c.content);
        EXPECT_EQ(player_->loadTalkingImage(path), c.expected) << c.name;
        EXPECT_EQ(player_->currentImageFile(), "") << c.name;
        EXPECT_NE(test::failureText(player_->lastError()).find(path), std::string::npos) << c.name;
        EXPECT_EQ(grab(), neutral) << c.name;
    }
    // The neutral face still speaks.
    show(kOpenVowel);
    EXPECT_NE(grab(), neutral);
}

TEST_F(TalkingImagePlayerTest, BlinksWhileAnimatingOnly)
{
    ASSERT_EQ(player_->loadTalkingImage(defaultFace_), TalkingImagePlayer::LoadResult::Loaded);
    const TjmRig rig = rigOf(defaultFace_);
    Blinker schedule(rig, 5);
    std::int64_t shut = -1;
    for (std::int64_t ms = 0; ms < 20000 && shut < 0; ms += 5)
        if (schedule.lidClosure(ms) > 0.95)
            shut = ms;
    ASSERT_GE(shut, 0);

    clock_.ticks = 1000;
    const QImage idle = grab();
    player_->animationControl(1);
    EXPECT_TRUE(player_->isAnimating());
    EXPECT_EQ(grab(), idle) << "eyes open when the animation starts";
    clock_.ticks = 1000 + static_cast<std::uint32_t>(shut);
    const QImage blinking = grab();
    int inside = 0;
    int outside = 0;
    const QRect eyes(int((rig.leftEyeX - rig.eyeWidth) * 0.5), int((rig.leftEyeY - rig.eyeHeight) * 0.5),
                     int((rig.rightEyeX - rig.leftEyeX + 2 * rig.eyeWidth) * 0.5), int(rig.eyeHeight * 0.5 * 2));
    countChanges(idle, blinking, eyes, inside, outside);
    EXPECT_GT(inside, 100);
    EXPECT_EQ(outside, 0);

    player_->animationControl(0);
    EXPECT_FALSE(player_->isAnimating());
    EXPECT_EQ(grab(), idle) << "no blinking while idle";
}

TEST_F(TalkingImagePlayerTest, SelfPlayFollowsTheMessageFrames)
{
    TalkingMessage message;
    message.voice.samples.assign(22050, 0);
    message.frames.assign(10, LipSyncFrame{});
    message.frames.resize(25, kOpenVowel);
    const std::string path = installation_.folder() + "speech.tps";
    ASSERT_TRUE(writeTps(path, message));

    player_->setSelfPlay(1);
    ASSERT_EQ(player_->loadTalkingMessage(path), TalkingImagePlayer::LoadResult::Loaded);
    EXPECT_EQ(player_->currentMessageFile(), path);
    clock_.ticks = 5000;
    player_->startAnimation();
    clock_.ticks = 5000 + 200;
    player_->advance();
    EXPECT_EQ(player_->shownFrame(), LipSyncFrame{});
    clock_.ticks = 5000 + 600;
    player_->advance();
    EXPECT_EQ(player_->shownFrame(), kOpenVowel);
    clock_.ticks = 5000 + 1200;
    player_->advance();
    EXPECT_EQ(player_->shownFrame(), LipSyncFrame{}) << "the mouth closes after the last frame";
}

TEST_F(TalkingImagePlayerTest, MessagesThatCannotBeReadAreReported)
{
    const std::string muted = installation_.writeFile("muted.tps", std::string(100, 'm'));
    EXPECT_EQ(player_->loadTalkingMessage(muted), TalkingImagePlayer::LoadResult::Loaded);
    EXPECT_EQ(player_->currentMessageFile(), muted);

    const std::string damaged = installation_.writeFile("damaged.tps", std::string(600, 'd'));
    EXPECT_EQ(player_->loadTalkingMessage(damaged), TalkingImagePlayer::LoadResult::Damaged);
    EXPECT_EQ(player_->currentMessageFile(), "");
    EXPECT_NE(test::failureText(player_->lastError()).find(damaged), std::string::npos);

    EXPECT_EQ(player_->loadTalkingMessage(installation_.folder() + "none.tps"),
              TalkingImagePlayer::LoadResult::Missing);
}

} // namespace
} // namespace pavonia
