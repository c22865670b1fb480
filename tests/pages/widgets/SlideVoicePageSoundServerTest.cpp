// The slide voice page on the machine's real sound layer: with
// PAVONIA_TEST_SOUND_SERVER set (see the CMake test of that name) a private
// PulseAudio server with a null sink stands in for the sound card, and a
// session's narration is recorded, applied and played back through the
// page's own buttons. Without a sound server the test is skipped.
#include "pages/widgets/SlideVoicePage.h"

#include "PrivateSoundServer.h"
#include "SpinEvents.h"
#include "TestProject.h"
#include "VoiceTestSounds.h"
#include "pages/ImageCache.h"
#include "voice/TpsFile.h"
#include "voice/audio/QtAudioDevice.h"

#include <QCoreApplication>
#include <QMediaDevices>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace pavonia {
namespace {

const auto* const kSoundServer = ::testing::AddGlobalTestEnvironment(new test::PrivateSoundServer);

using test::spinEvents;

class SlideVoicePageSoundServerTest : public ::testing::Test, protected test::TestProject {
protected:
    SlideVoicePageSoundServerTest() { document.workingFolder().reset(); }

    TreeItem* addSession(int slides)
    {
        auto data = std::make_unique<SessionData>();
        data->talkingImagePath = document.workingFolder().sessionTalkingImageCopy();
        data->talkingMessagePath = document.workingFolder().sessionTalkingMessageCopy();
        TreeItem* item = document.tree().insertSession(nullptr, std::move(data), "Session");
        for (int i = 0; i < slides; ++i) {
            auto slide = std::make_unique<SlideData>();
            slide->delay = 3.0f;
            document.tree().insertSlide(*item, nullptr, std::move(slide), "Slide");
        }
        return item;
    }

    ImageCache cache{10, QString::fromStdString(inst.folder() + "loading.jpg")};
};

TEST_F(SlideVoicePageSoundServerTest, ASessionIsRecordedAppliedAndPlayedThroughTheSoundCard)
{
    if (!std::getenv("PAVONIA_TEST_SOUND_SERVER"))
        GTEST_SKIP() << "runs against a private sound server only";
    auto created = QtAudioDevice::create();
    if (!created || QMediaDevices::defaultAudioInput().isNull())
        GTEST_SKIP() << "no sound device with an input";

    SlideVoicePage page(document, std::move(*created), cache);
    page.setApplyRecordingPrompt([] { return Answer::Ok; });
    page.resize(page.sizeHint());
    page.show();
    TreeItem* session = addSession(2);
    page.showSession(session);
    // A voice of its own to record over (a muted message offers no recording).
    ASSERT_TRUE(test::writeVoicedMessage(inst.root() + "voice.tps", 2000));
    ASSERT_TRUE(page.logic().setTalkingMessage(inst.root() + "voice.tps"));
    page.showSession(session);
    const std::string before = session->session()->talkingMessagePath;
    const std::int64_t beforeMs = page.engine().GetTotalTime();

    auto* record = page.findChild<QToolButton*>("record");
    ASSERT_NE(record, nullptr);
    ASSERT_TRUE(record->isEnabled());
    record->click();
    // Recording runs on the sound layer's clock: about 1.5 seconds of it.
    spinEvents([] { return false; }, 1500);
    record->click();
    ASSERT_TRUE(spinEvents([&] { return page.logic().mode() == SlideVoiceLogic::Mode::Idle; }, 5000));

    // The session has a voice of its own, about as long as the recording,
    // written as a talking message.
    const std::string after = session->session()->talkingMessagePath;
    EXPECT_NE(after, before);
    TalkingMessage saved;
    ASSERT_TRUE(readTps(after, saved));
    EXPECT_GT(saved.lengthMs(), 1000);
    EXPECT_LT(saved.lengthMs(), 5000);
    EXPECT_NE(page.engine().GetTotalTime(), beforeMs);

    // And it plays back through the output to its end.
    auto* preview = page.findChild<QToolButton*>("preview");
    ASSERT_NE(preview, nullptr);
    ASSERT_TRUE(preview->isEnabled());
    preview->click();
    EXPECT_TRUE(spinEvents([&] { return page.logic().mode() == SlideVoiceLogic::Mode::Preview; }, 2000));
    EXPECT_TRUE(spinEvents([&] { return page.logic().mode() == SlideVoiceLogic::Mode::Idle; }, 10000));
}

} // namespace
} // namespace pavonia
