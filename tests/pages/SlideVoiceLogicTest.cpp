#include "pages/SlideVoiceLogic.h"

#include "TestProject.h"
#include "ViewCounter.h"
#include "VoiceTestSounds.h"
#include "voice/BufferAudioDevice.h"
#include "voice/LipSyncAnalyzer.h"
#include "voice/TpsFile.h"
#include "voice/WaveFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace pavonia {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::voicedBursts;

struct FakePlayer final : TalkingPlayer {
    void loadImage(const std::string& path) override { image = path; }
    void loadMessage(const std::string& path) override
    {
        message = path;
        ++messageLoads;
    }
    std::string currentImage() const override { return image; }
    std::string currentMessage() const override { return message; }
    void showFrame(const LipSyncFrame&) override { ++framesShown; }
    void startAnimation() override { animating = true; }
    void stopAnimation() override { animating = false; }

    std::string image, message;
    int messageLoads = 0;
    int framesShown = 0;
    bool animating = false;
};

// An engine whose recordings land at an offset within the voice, as an
// engine that keeps earlier voice in front of a recording would report, and
// whose saves can be made to fail, as on a full disk.
struct OffsetEngine final : VoiceEngine {
    using VoiceEngine::VoiceEngine;
    std::int64_t ApplyAsyncRec(int mode) override
    {
        const std::int64_t result = VoiceEngine::ApplyAsyncRec(mode);
        return result < 0 ? result : result + offset;
    }
    bool SaveTPS(const std::string& path, int format, int flags) override
    {
        return !failSaves && VoiceEngine::SaveTPS(path, format, flags);
    }
    std::int64_t offset = 0;
    bool failSaves = false;
};

class SlideVoiceLogicTest : public ::testing::Test, protected test::TestProject {
protected:
    SlideVoiceLogicTest() { document.workingFolder().reset(); }

    // A session with `slideCount` picture slides of 3 seconds each, using
    // the default talking image and message.
    TreeItem* addSession(int slideCount)
    {
        auto data = std::make_unique<SessionData>();
        data->talkingImagePath = document.workingFolder().sessionTalkingImageCopy();
        data->talkingMessagePath = document.workingFolder().sessionTalkingMessageCopy();
        TreeItem* item = document.tree().insertSession(nullptr, std::move(data), "Session");
        for (int i = 0; i < slideCount; ++i) {
            auto slide = std::make_unique<SlideData>();
            slide->mediaPath = inst.folder() + "Temp/picture" + std::to_string(i) + ".jpg";
            slide->subTopic = "topic " + std::to_string(i);
            document.tree().insertSlide(*item, nullptr, std::move(slide), "Slide");
        }
        return item;
    }

    // A message file with `ms` of voice and its lip-sync.
    std::string messageFile(const std::string& name, std::int64_t ms)
    {
        const std::string path = inst.root() + name;
        EXPECT_TRUE(test::writeVoicedMessage(path, ms));
        return path;
    }

    void run(std::int64_t ms)
    {
        for (std::int64_t t = 0; t < ms; t += 20)
            device.advance(20);
    }

    std::vector<float> delays(TreeItem* session)
    {
        std::vector<float> out;
        for (const auto& child : session->children())
            out.push_back(child->slide()->delay);
        return out;
    }

    int refCount(const std::string& path)
    {
        const auto index = document.settings().fileRefs.find(path);
        return index ? document.settings().fileRefs[*index].refCount : 0;
    }

    BufferAudioDevice device;
    OffsetEngine engine{device, inst.folder()};
    FakePlayer player;
    SlideVoiceLogic logic{document, engine, player};
};

TEST_F(SlideVoiceLogicTest, LoadMessageRefusesTextModeAndDamagedFiles)
{
    TalkingMessage textMessage;
    textMessage.textMode = true;
    textMessage.text = "spoken text";
    const std::string textPath = inst.root() + "text.tps";
    ASSERT_TRUE(writeTps(textPath, textMessage));
    const std::string damaged = inst.writeFile("damaged.tps", std::string(600, 'x'));
    const std::string good = messageFile("good.tps", 9000);

    struct Case {
        std::string path;
        bool loads;
        std::string shown;
        int flagAfter;
    } cases[] = {
        {textPath, false, StringTable::text(str::VoiceTextModeRefused), 1},
        {damaged, false, StringTable::text(str::VoiceLoadTpsError), 1},
        {good, true, "", 0},
    };
    TreeItem* session = addSession(2);
    logic.showSession(session);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        ui.shown.clear();
        session->session()->talkingMessagePath = c.path;
        session->session()->engineLoadFlag = 1;
        EXPECT_EQ(logic.loadMessage(), c.loads);
        EXPECT_EQ(session->session()->engineLoadFlag, c.flagAfter);
        if (c.shown.empty())
            EXPECT_TRUE(ui.shown.empty());
        else
            ASSERT_EQ(ui.texts(), std::vector<std::string>{c.shown});
    }
    EXPECT_EQ(logic.timeText(), "0.00 / 9.00 sec.");
}

TEST_F(SlideVoiceLogicTest, MessagesUnder512BytesAreMuted)
{
    struct Case {
        std::size_t size;
        bool muted;
    } cases[] = {{0, true}, {511, true}, {512, false}, {4096, false}};
    for (const Case& c : cases)
        EXPECT_EQ(isMutedMessageFile(inst.writeFile("m" + std::to_string(c.size), std::string(c.size, 'a'))),
                  c.muted)
            << c.size;
    EXPECT_TRUE(isMutedMessageFile(inst.root() + "missing.tps"));

    // A new session's message is the empty default: muted, nothing to record over.
    TreeItem* session = addSession(3);
    logic.showSession(session);
    EXPECT_TRUE(logic.muted());
    EXPECT_EQ(logic.controls().muteTip, str::VoiceTipMute);
    EXPECT_FALSE(logic.controls().record);
    EXPECT_FALSE(logic.controls().sync);
    EXPECT_FALSE(logic.voiceImportAllowed());
    EXPECT_TRUE(logic.imageImportAllowed());
}

TEST_F(SlideVoiceLogicTest, MuteThenUnmuteGivesTheMessageBackByteForByteAndSparesASharedCopy)
{
    const std::string source = messageFile("voice.tps", 3000);
    TreeItem* first = addSession(2);
    TreeItem* second = addSession(2);
    logic.showSession(first);
    ASSERT_TRUE(logic.setTalkingMessage(source));
    logic.showSession(second);
    ASSERT_TRUE(logic.setTalkingMessage(source));
    const std::string shared = second->session()->talkingMessagePath;
    ASSERT_EQ(first->session()->talkingMessagePath, shared);
    EXPECT_EQ(refCount(shared), 2);
    const std::string original = readFile(shared);

    logic.showSession(first);
    ASSERT_FALSE(logic.muted());
    logic.clickMute();
    EXPECT_TRUE(logic.muted());
    EXPECT_TRUE(isMutedMessageFile(first->session()->talkingMessagePath));
    EXPECT_FALSE(logic.controls().record);
    EXPECT_FALSE(logic.controls().voiceFilter);
    EXPECT_FALSE(logic.voiceImportAllowed());
    // The other session keeps its voice.
    EXPECT_EQ(readFile(shared), original);
    EXPECT_EQ(refCount(shared), 1);

    logic.clickMute();
    EXPECT_FALSE(logic.muted());
    EXPECT_EQ(readFile(first->session()->talkingMessagePath), original);
    EXPECT_FALSE(fs::exists(document.workingFolder().tempFolder() + "NoMute_" +
                            fs::path(first->session()->talkingMessagePath).filename().string()));
    EXPECT_TRUE(logic.controls().record);
    EXPECT_TRUE(logic.controls().sync);
    EXPECT_FALSE(logic.controls().pause);
    EXPECT_EQ(engine.GetTotalTime(), 3000);

    // Without the silent message nothing is muted and no voice is kept aside.
    ASSERT_TRUE(fs::remove(inst.folder() + "MuteVoice.tps"));
    logic.clickMute();
    EXPECT_FALSE(logic.muted());
    EXPECT_EQ(readFile(first->session()->talkingMessagePath), original);
    EXPECT_FALSE(fs::exists(document.workingFolder().tempFolder() + "NoMute_" +
                            fs::path(first->session()->talkingMessagePath).filename().string()));
}

TEST_F(SlideVoiceLogicTest, SyncTakesMarksAtNextSlideAndSetsTheDelays)
{
    TreeItem* session = addSession(3);
    logic.showSession(session);
    ASSERT_TRUE(logic.setTalkingMessage(messageFile("nine.tps", 9000)));
    logic.showSession(session);
    const std::string before = readFile(session->session()->talkingMessagePath);
    ASSERT_TRUE(logic.controls().sync);

    logic.clickSync();
    EXPECT_EQ(logic.mode(), SlideVoiceLogic::Mode::Sync);
    EXPECT_TRUE(player.animating);
    EXPECT_FALSE(logic.editingAllowed());
    run(2500);
    logic.nextSlide();
    device.advance(0); // the mark is taken at the next position
    EXPECT_EQ(logic.currentPicture(), 1);
    run(3500);
    logic.nextSlide();
    device.advance(0);
    EXPECT_EQ(logic.currentPicture(), 2);
    EXPECT_FALSE(logic.controls().nextSlideVisible);
    run(3200);

    EXPECT_EQ(logic.marks(), (std::vector<std::int64_t>{0, 2500, 6000, 9000}));
    EXPECT_EQ(delays(session), (std::vector<float>{2.5f, 3.5f, 3.0f}));
    EXPECT_EQ(logic.mode(), SlideVoiceLogic::Mode::Idle);
    EXPECT_FALSE(player.animating);
    EXPECT_TRUE(logic.editingAllowed());
    EXPECT_EQ(logic.currentPicture(), 0);
    EXPECT_EQ(readFile(session->session()->talkingMessagePath), before); // played, not saved
    EXPECT_TRUE(document.dirty());
    EXPECT_GT(player.framesShown, 0);
}

TEST_F(SlideVoiceLogicTest, PreviewMovesThePicturesByTheDelays)
{
    TreeItem* session = addSession(3);
    logic.showSession(session);
    ASSERT_TRUE(logic.setTalkingMessage(messageFile("nine.tps", 9000)));
    logic.clickPreview();
    ASSERT_EQ(logic.mode(), SlideVoiceLogic::Mode::Preview);
    run(2980);
    EXPECT_EQ(logic.currentPicture(), 0);
    run(40);
    EXPECT_EQ(logic.currentPicture(), 1);
    EXPECT_EQ(logic.pictureNumberText(), "2 / 3");
    run(3000);
    EXPECT_EQ(logic.currentPicture(), 2);
    logic.clickPreview(); // stops
    EXPECT_EQ(logic.mode(), SlideVoiceLogic::Mode::Idle);
    EXPECT_EQ(logic.currentPicture(), 0);
}

TEST_F(SlideVoiceLogicTest, TellsItsViewOfEachChangeAndOfNoOther)
{
    TreeItem* session = addSession(3);
    test::ViewCounter view(logic);
    logic.showSession(session);
    EXPECT_EQ(view.take(), 1);
    ASSERT_TRUE(logic.setTalkingMessage(messageFile("nine.tps", 9000)));
    EXPECT_EQ(view.take(), 1);
    logic.showSession(session->child(0)); // a slide: the page stays
    logic.stopPlayback();                 // nothing plays
    logic.previousImage();                // already the first picture
    EXPECT_EQ(view.take(), 0);

    logic.clickPreview();
    EXPECT_EQ(view.take(), 1);
    run(20); // one tick: the time shown moves
    EXPECT_EQ(view.take(), 1);
    run(3000); // the time, then the picture too, once for each tick
    EXPECT_EQ(view.take(), 150);
    logic.clickPreview(); // stops: back to the first picture
    EXPECT_EQ(view.take(), 1);
    EXPECT_EQ(logic.mode(), SlideVoiceLogic::Mode::Idle);
}

TEST_F(SlideVoiceLogicTest, OneSlideNeverOffersSync)
{
    TreeItem* session = addSession(1);
    logic.showSession(session);
    ASSERT_TRUE(logic.setTalkingMessage(messageFile("voice.tps", 2000)));
    logic.showSession(session);
    EXPECT_FALSE(logic.controls().sync);
    EXPECT_TRUE(logic.controls().record);
    EXPECT_EQ(logic.pictureNumberText(), "1 / 1");
    logic.clickSync();
    EXPECT_EQ(logic.mode(), SlideVoiceLogic::Mode::Idle);
}

TEST_F(SlideVoiceLogicTest, AppliedRecordingShiftsTheMarksByTheOffsetAndSavesTheVoice)
{
    TreeItem* session = addSession(3);
    TreeItem* other = addSession(1);
    logic.showSession(session);
    ASSERT_TRUE(logic.setTalkingMessage(messageFile("old.tps", 2000)));
    logic.showSession(session);
    const std::string oldCopy = session->session()->talkingMessagePath;
    const std::string otherMessage = readFile(other->session()->talkingMessagePath);
    engine.offset = 250;
    device.setInput(voicedBursts(5000));

    logic.clickRecord();
    ASSERT_EQ(logic.mode(), SlideVoiceLogic::Mode::Record);
    EXPECT_FALSE(logic.editingAllowed());
    EXPECT_FALSE(logic.voiceImportAllowed());
    EXPECT_EQ(logic.controls().recordTip, str::VoiceTipStop);
    run(1000);
    logic.nextSlide();
    run(1500);
    EXPECT_EQ(logic.timeText(), "2.50 sec.");
    logic.nextSlide();
    run(1000);
    logic.clickRecord(); // stop: the dialog is answered with Apply

    ASSERT_EQ(ui.texts(), std::vector<std::string>{StringTable::text(str::VoiceRecordFinished)});
    EXPECT_EQ(logic.marks(), (std::vector<std::int64_t>{0, 1250, 2750, 3750}));
    EXPECT_EQ(delays(session), (std::vector<float>{1.25f, 1.5f, 1.0f}));
    EXPECT_EQ(logic.mode(), SlideVoiceLogic::Mode::Idle);
    EXPECT_TRUE(logic.editingAllowed());
    EXPECT_TRUE(logic.voiceImportAllowed());

    // The recording went to a new working file; the old copy is gone.
    const std::string path = session->session()->talkingMessagePath;
    EXPECT_NE(path, oldCopy);
    EXPECT_FALSE(fs::exists(oldCopy));
    TalkingMessage saved;
    ASSERT_TRUE(readTps(path, saved));
    EXPECT_EQ(saved.lengthMs(), 3500);
    EXPECT_EQ(player.message, path);
    EXPECT_EQ(logic.timeText(), "0.00 / 3.50 sec.");
    EXPECT_EQ(readFile(other->session()->talkingMessagePath), otherMessage);
}

TEST_F(SlideVoiceLogicTest, RecordingWithoutMarksIsSavedOnTheEnginesRequestAndCancelKeepsTheOld)
{
    TreeItem* session = addSession(2);
    logic.showSession(session);
    ASSERT_TRUE(logic.setTalkingMessage(messageFile("old.tps", 2000)));
    const std::string oldCopy = session->session()->talkingMessagePath;
    const std::string oldBytes = readFile(oldCopy);
    device.setInput(voicedBursts(5000));

    // Cancel: the recording is dropped, nothing changes.
    ui.answers.push_back(Answer::Cancel);
    logic.clickRecord();
    run(800);
    logic.clickRecord();
    EXPECT_EQ(session->session()->talkingMessagePath, oldCopy);
    EXPECT_EQ(readFile(oldCopy), oldBytes);
    EXPECT_EQ(engine.GetTotalTime(), 2000);
    const std::vector<float> before = delays(session);

    // Apply: the engine asks for the save; the delays stay.
    logic.clickRecord();
    run(1200);
    logic.clickRecord();
    TalkingMessage saved;
    ASSERT_TRUE(readTps(session->session()->talkingMessagePath, saved));
    EXPECT_EQ(saved.lengthMs(), 1200);
    EXPECT_EQ(delays(session), before);
}

TEST_F(SlideVoiceLogicTest, ARecordingThatCannotBeWrittenLeavesThePreviousVoice)
{
    TreeItem* session = addSession(2);
    logic.showSession(session);
    ASSERT_TRUE(logic.setTalkingMessage(messageFile("old.tps", 2000)));
    const std::string oldCopy = session->session()->talkingMessagePath;
    const std::string oldBytes = readFile(oldCopy);
    const std::size_t entries = document.settings().fileRefs.size();
    device.setInput(voicedBursts(5000));
    engine.failSaves = true;

    for (const bool withMarks : {false, true}) {
        SCOPED_TRACE(withMarks);
        logic.clickRecord();
        run(600);
        if (withMarks)
            logic.nextSlide();
        run(600);
        logic.clickRecord();
        EXPECT_EQ(session->session()->talkingMessagePath, oldCopy);
        EXPECT_EQ(readFile(oldCopy), oldBytes);
        EXPECT_EQ(refCount(oldCopy), 1);
        EXPECT_EQ(document.settings().fileRefs.size(), entries);
        // The engine holds the recording, not this session's voice.
        EXPECT_FALSE(logic.controls().preview);
    }
    logic.showSession(session);
    EXPECT_EQ(engine.GetTotalTime(), 2000);
    EXPECT_TRUE(logic.controls().preview);
}

TEST_F(SlideVoiceLogicTest, ClosingTheProjectDiscardsAPausedRecording)
{
    TreeItem* session = addSession(2);
    logic.showSession(session);
    ASSERT_TRUE(logic.setTalkingMessage(messageFile("voice.tps", 2000)));
    const std::string path = session->session()->talkingMessagePath;
    device.setInput(voicedBursts(3000));
    logic.clickRecord();
    run(500);
    logic.clickPause();
    EXPECT_EQ(logic.controls().pauseTip, str::VoiceTipContinue);
    ASSERT_TRUE(engine.isRecordPaused());

    logic.cancelRecording();
    EXPECT_FALSE(engine.IsAsyncRecord());
    EXPECT_FALSE(engine.hasFinishedRecording());
    EXPECT_EQ(logic.mode(), SlideVoiceLogic::Mode::Idle);
    EXPECT_TRUE(ui.shown.empty()); // no "Apply" question
    EXPECT_EQ(session->session()->talkingMessagePath, path);
    EXPECT_EQ(engine.GetTotalTime(), 2000);
}

TEST_F(SlideVoiceLogicTest, RecordingThatCannotStartLeavesThePageAsItWas)
{
    TreeItem* session = addSession(2);
    logic.showSession(session);
    ASSERT_TRUE(logic.setTalkingMessage(messageFile("voice.tps", 2000)));
    device.failCapture(Failure(str::AudioInputError, {"no input"}));
    logic.clickRecord();
    EXPECT_EQ(logic.mode(), SlideVoiceLogic::Mode::Idle);
    EXPECT_FALSE(logic.syncing());
    EXPECT_EQ(logic.controls().recordTip, str::VoiceTipRecord);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_NE(ui.shown[0].text.find("no input"), std::string::npos);
}

TEST_F(SlideVoiceLogicTest, ImportVoiceFromAWaveGivesTheSessionItsOwnMessage)
{
    TreeItem* first = addSession(2);
    TreeItem* second = addSession(2);
    // Both sessions share the working copy of the default message.
    ASSERT_EQ(first->session()->talkingMessagePath, second->session()->talkingMessagePath);
    const std::string sharedBytes = readFile(second->session()->talkingMessagePath);
    logic.showSession(first);
    // Muted (empty) sessions take no voice import; unmute first.
    logic.clickMute();
    ASSERT_FALSE(logic.muted());

    const std::string wave = inst.root() + "speech.wav";
    ASSERT_TRUE(writeWave(wave, voicedBursts(4000, 44100, 2)));
    ASSERT_TRUE(logic.importVoice(wave));
    TalkingMessage saved;
    ASSERT_TRUE(readTps(first->session()->talkingMessagePath, saved));
    EXPECT_EQ(saved.lengthMs(), 4000);
    EXPECT_FALSE(saved.frames.empty());
    EXPECT_NE(first->session()->talkingMessagePath, second->session()->talkingMessagePath);
    EXPECT_EQ(readFile(second->session()->talkingMessagePath), sharedBytes);
    EXPECT_TRUE(document.dirty());
    EXPECT_EQ(logic.timeText(), "0.00 / 4.00 sec.");
}

TEST_F(SlideVoiceLogicTest, FailedImportsChangeNothing)
{
    TreeItem* session = addSession(2);
    logic.showSession(session);
    ASSERT_TRUE(logic.setTalkingMessage(messageFile("voice.tps", 2000)));
    const std::string path = session->session()->talkingMessagePath;
    const std::string bytes = readFile(path);
    ui.shown.clear();

    EXPECT_FALSE(logic.importVoice(inst.writeFile("broken.MP3", std::string(3000, '\x5a'))));
    EXPECT_FALSE(logic.importVoice(inst.writeFile("broken.wav", "RIFF")));
    EXPECT_FALSE(logic.setTalkingMessage(inst.writeFile("broken.tps", std::string(700, 'q'))));
    ASSERT_EQ(ui.shown.size(), 3u);
    EXPECT_EQ(ui.shown[0].text, StringTable::text(str::VoiceMp3Error));
    EXPECT_EQ(ui.shown[2].text, StringTable::text(str::VoiceLoadTpsError));
    // The session still points at its message, which is still there.
    EXPECT_EQ(session->session()->talkingMessagePath, path);
    EXPECT_EQ(readFile(path), bytes);
    EXPECT_EQ(refCount(path), 1);
    EXPECT_EQ(engine.GetTotalTime(), 2000);

    // Declining the question leaves everything as it was too.
    ui.answers.push_back(Answer::Cancel);
    EXPECT_FALSE(logic.importTalkingMessage(messageFile("other.tps", 1000)));
    EXPECT_EQ(session->session()->talkingMessagePath, path);
}

TEST_F(SlideVoiceLogicTest, AFileThatCannotBeCopiedLeavesTheSessionOnItsOwn)
{
    TreeItem* first = addSession(2);
    TreeItem* second = addSession(2);
    logic.showSession(first);
    const std::string image = first->session()->talkingImagePath;
    const std::size_t entries = document.settings().fileRefs.size();

    // A talking image whose file is gone gets no working copy and no entry.
    logic.setTalkingImage(inst.root() + "gone.tjm");
    EXPECT_EQ(first->session()->talkingImagePath, image);
    EXPECT_EQ(document.settings().fileRefs.size(), entries);

    // The two sessions share the default image; when it cannot be copied
    // the session keeps the shared file instead of a missing copy.
    ASSERT_EQ(second->session()->talkingImagePath, image);
    fs::remove(image);
    EXPECT_EQ(logic.prepareExternalEdit(0), image);
    EXPECT_EQ(first->session()->talkingImagePath, image);
    EXPECT_EQ(refCount(image), 2);
}

TEST_F(SlideVoiceLogicTest, ASharedMessageWithoutAnOwnCopyIsNeverWritten)
{
    TreeItem* first = addSession(2);
    TreeItem* second = addSession(2);
    logic.showSession(first);
    logic.clickMute();
    ASSERT_FALSE(logic.muted());
    const std::string shared = first->session()->talkingMessagePath;
    ASSERT_EQ(second->session()->talkingMessagePath, shared);
    // The shared copy is gone, so no copy of the session's own can be made.
    fs::remove(shared);
    const std::string wave = inst.root() + "speech.wav";
    ASSERT_TRUE(writeWave(wave, voicedBursts(1000)));
    ui.shown.clear();

    EXPECT_FALSE(logic.importVoice(wave));
    EXPECT_EQ(ui.texts(), std::vector<std::string>{StringTable::format(
                              str::VoiceWriteFailed, {shared, std::generic_category().message(ENOENT)})});
    // The other session is not given this session's voice.
    EXPECT_FALSE(fs::exists(shared));
    EXPECT_EQ(first->session()->talkingMessagePath, shared);
    EXPECT_EQ(refCount(shared), 2);
    EXPECT_EQ(logic.prepareExternalEdit(1), "");
    EXPECT_FALSE(fs::exists(shared));
}

TEST_F(SlideVoiceLogicTest, ASessionWhoseMessageFailsToLoadNeverPlaysOrSavesAnotherSessionsVoice)
{
    TreeItem* good = addSession(2);
    TreeItem* broken = addSession(2);
    logic.showSession(good);
    ASSERT_TRUE(logic.setTalkingMessage(messageFile("voice.tps", 2000)));
    const std::string damaged = document.workingFolder().tempFolder() + "Broken.tps";
    ASSERT_TRUE(fs::copy_file(inst.writeFile("junk.tps", std::string(900, 'j')), damaged));
    broken->session()->talkingMessagePath = damaged;

    for (int shown = 1; shown <= 2; ++shown) {
        SCOPED_TRACE(shown);
        ui.shown.clear();
        logic.showSession(broken);
        // Each time the page comes back to it, the message is tried again.
        EXPECT_EQ(ui.texts(), std::vector<std::string>{StringTable::text(str::VoiceLoadTpsError)});
        EXPECT_EQ(broken->session()->engineLoadFlag, 1);
        EXPECT_FALSE(logic.controls().preview);
        EXPECT_FALSE(logic.controls().sync);
        EXPECT_FALSE(logic.controls().voiceFilter);
        EXPECT_TRUE(logic.controls().record);
    }
    logic.clickPreview();
    EXPECT_EQ(logic.mode(), SlideVoiceLogic::Mode::Idle);
    EXPECT_EQ(readFile(damaged), std::string(900, 'j'));

    // A new voice makes the session whole again.
    const std::string wave = inst.root() + "speech.wav";
    ASSERT_TRUE(writeWave(wave, voicedBursts(1000)));
    ASSERT_TRUE(logic.importVoice(wave));
    logic.showSession(broken);
    EXPECT_TRUE(logic.controls().preview);
    EXPECT_EQ(engine.GetTotalTime(), 1000);
}

TEST_F(SlideVoiceLogicTest, ExternalEditOfASharedMessageMakesAnOwnCopyAndEndsTheMute)
{
    const std::string source = messageFile("voice.tps", 2000);
    TreeItem* first = addSession(2);
    TreeItem* second = addSession(2);
    for (TreeItem* session : {first, second}) {
        logic.showSession(session);
        ASSERT_TRUE(logic.setTalkingMessage(source));
        logic.clickMute();
        ASSERT_TRUE(logic.muted());
    }
    const std::string secondKept = document.workingFolder().tempFolder() + "NoMute_" +
                                   fs::path(second->session()->talkingMessagePath).filename().string();
    ASSERT_TRUE(fs::exists(secondKept));

    logic.showSession(first);
    const std::string before = first->session()->talkingMessagePath;
    const std::string edited = logic.prepareExternalEdit(1);
    EXPECT_EQ(edited, before); // already its own since muting
    EXPECT_EQ(refCount(edited), 1);
    // The editor writes a new voice; closing it loads that and ends the mute.
    ASSERT_TRUE(fs::copy_file(messageFile("edited.tps", 1500), edited, fs::copy_options::overwrite_existing));
    logic.externalEditorClosed(1);
    EXPECT_FALSE(logic.muted());
    EXPECT_TRUE(logic.controls().record);
    EXPECT_EQ(engine.GetTotalTime(), 1500);
    EXPECT_EQ(player.message, edited);
    EXPECT_FALSE(fs::exists(document.workingFolder().tempFolder() + "NoMute_" + fs::path(edited).filename().string()));
    EXPECT_TRUE(fs::exists(secondKept)); // still needed to unmute the other session

    // A shared talking image is copied before the image editor gets it.
    const std::string sharedImage = second->session()->talkingImagePath;
    ASSERT_EQ(first->session()->talkingImagePath, sharedImage);
    const std::string image = logic.prepareExternalEdit(0);
    EXPECT_NE(image, sharedImage);
    EXPECT_EQ(first->session()->talkingImagePath, image);
    EXPECT_EQ(refCount(sharedImage), 1);
    EXPECT_EQ(readFile(image), readFile(sharedImage));
}

} // namespace
} // namespace pavonia
