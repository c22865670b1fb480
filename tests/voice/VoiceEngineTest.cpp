#include "voice/VoiceEngine.h"

#include "ResultCheck.h"
#include "ScriptedUi.h"
#include "TestInstallation.h"
#include "VoiceTestSounds.h"
#include "voice/BufferAudioDevice.h"
#include "voice/TpsFile.h"
#include "voice/WaveFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace pavonia {
namespace {

using test::voicedBursts;

// Records every notification and hook event in order.
struct Recorder final : VoiceNotify, WaveRecordHook {
    void WordPosition(std::int64_t ms) override
    {
        positions.push_back(ms);
        if (stopAt >= 0 && ms >= stopAt && engine)
            engine->Stop();
    }
    void playStarted() override { events.push_back("started"); }
    void playStopped() override { events.push_back("stopped"); }
    void lipSyncFrameChanged(const LipSyncFrame& frame) override { frames.push_back(frame); }
    void Request(int code) override { events.push_back("request " + std::to_string(code)); }
    void recordStarted() override { events.push_back("rec started"); }
    void recordPaused() override { events.push_back("rec paused"); }
    void recordResumed() override { events.push_back("rec resumed"); }
    void recordFinished(std::int64_t ms) override { events.push_back("rec finished " + std::to_string(ms)); }
    void recordPosition(std::int64_t ms) override { recordPositions.push_back(ms); }
    bool queryStart() override { return allowStart; }

    std::vector<std::string> events;
    std::vector<std::int64_t> positions;
    std::vector<std::int64_t> recordPositions;
    std::vector<LipSyncFrame> frames;
    VoiceEngine* engine = nullptr;
    std::int64_t stopAt = -1;
    bool allowStart = true;
};

class VoiceEngineTest : public ::testing::Test {
protected:
    VoiceEngineTest() : engine(device, inst.folder())
    {
        engine.setNotify(&recorder);
        engine.HookRecordDialog(&recorder);
        recorder.engine = &engine;
    }

    // Loads a message with `ms` of voice through a wave import.
    void loadVoice(std::int64_t ms)
    {
        const std::string wave = inst.root() + "voice.wav";
        ASSERT_TRUE(writeWave(wave, voicedBursts(ms)));
        ASSERT_TRUE(engine.ImportWave(wave));
    }

    void run(std::int64_t ms, std::int64_t step = 20)
    {
        for (std::int64_t t = 0; t < ms; t += step)
            device.advance(step);
    }

    test::TestInstallation inst;
    BufferAudioDevice device;
    Recorder recorder;
    VoiceEngine engine;
};

TEST_F(VoiceEngineTest, PlaysTheWholeVoiceWithPositionsAndLipSyncUntilTheEnd)
{
    loadVoice(1000);
    ASSERT_EQ(engine.GetTotalTime(), 1000);
    ASSERT_TRUE(engine.PlayAll(0));
    EXPECT_TRUE(engine.IsPlayAll());
    EXPECT_FALSE(engine.IsPlaySelection());
    run(1200);

    EXPECT_EQ(recorder.events, (std::vector<std::string>{"started", "stopped"}));
    EXPECT_FALSE(engine.IsPlayAll());
    // Positions rise to the end; the device heard the voice sample for sample.
    ASSERT_FALSE(recorder.positions.empty());
    EXPECT_TRUE(std::is_sorted(recorder.positions.begin(), recorder.positions.end()));
    EXPECT_EQ(recorder.positions.back(), 1000);
    EXPECT_EQ(device.played().samples, engine.message().voice.samples);
    // One lip-sync frame per 40 ms step reached, each the message's frame for that time.
    ASSERT_GE(recorder.frames.size(), 25u);
    EXPECT_EQ(recorder.frames[1], engine.message().frameAt(40));
    bool opened = false;
    for (const LipSyncFrame& f : recorder.frames)
        opened = opened || !f.mouthClosed();
    EXPECT_TRUE(opened);
}

TEST_F(VoiceEngineTest, StopFromAPositionHandlerEndsPlaybackOnce)
{
    loadVoice(2000);
    recorder.stopAt = 500;
    ASSERT_TRUE(engine.PlayAll(0));
    run(1000);
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"started", "stopped"}));
    EXPECT_EQ(engine.position(), 500);
    EXPECT_EQ(recorder.positions.back(), 500);
}

TEST_F(VoiceEngineTest, PlaybackThatCannotStartFailsWithAMessage)
{
    EXPECT_FALSE(engine.PlayAll(0)); // no voice yet
    EXPECT_EQ(test::failureText(engine.lastError()), StringTable::text(str::VoiceNothingToPlay));

    loadVoice(500);
    device.failPlayback(Failure(str::AudioOutputError, {"the card is busy"}));
    EXPECT_FALSE(engine.PlayAll(0));
    EXPECT_NE(test::failureText(engine.lastError()).find("the card is busy"), std::string::npos);
    EXPECT_FALSE(engine.IsPlayAll());
    EXPECT_TRUE(recorder.events.empty());
}

TEST_F(VoiceEngineTest, RecordingSkipsPausesAndBecomesTheVoiceOnApply)
{
    const PcmAudio input = voicedBursts(3000);
    device.setInput(input);
    ASSERT_TRUE(engine.StartAsyncRec());
    EXPECT_TRUE(engine.IsAsyncRecord());
    run(1000);
    engine.PauseAsyncRec();
    EXPECT_TRUE(engine.isRecordPaused());
    run(500); // nothing is captured while paused
    engine.ResumeAsyncRec();
    run(500);
    EXPECT_EQ(recorder.recordPositions.back(), 1500);
    engine.StopAsyncRec();
    EXPECT_FALSE(engine.IsAsyncRecord());
    EXPECT_EQ(engine.GetTotalTime(), 0); // not the voice until applied

    EXPECT_EQ(engine.ApplyAsyncRec(1), 0);
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"rec started", "rec paused", "rec resumed",
                                                         "rec finished 1500", "request 1"}));
    const PcmAudio& voice = engine.message().voice;
    EXPECT_EQ(voice.sampleRate, 22050);
    EXPECT_EQ(voice.lengthMs(), 1500);
    // The captured input, read on after the pause from where it stopped.
    EXPECT_TRUE(std::equal(voice.samples.begin(), voice.samples.end(), input.samples.begin()));
    EXPECT_GE(std::int64_t(engine.message().frames.size()) * kLipSyncFrameMs, 1500);
    EXPECT_EQ(engine.ApplyAsyncRec(1), -1); // nothing left to apply
}

TEST_F(VoiceEngineTest, AbandonedOrRefusedRecordingLeavesTheVoiceAlone)
{
    loadVoice(800);
    const PcmAudio before = engine.message().voice;
    device.setInput(voicedBursts(1000));
    ASSERT_TRUE(engine.StartAsyncRec());
    run(400);
    engine.StopAsyncRec();
    engine.AbendonAsyncRec();
    EXPECT_FALSE(engine.hasFinishedRecording());
    EXPECT_EQ(engine.ApplyAsyncRec(1), -1);
    EXPECT_EQ(engine.message().voice.samples, before.samples);

    recorder.allowStart = false;
    EXPECT_FALSE(engine.StartAsyncRec());
    recorder.allowStart = true;
    device.failCapture(Failure(str::AudioInputError, {"no microphone"}));
    EXPECT_FALSE(engine.StartAsyncRec());
    EXPECT_NE(test::failureText(engine.lastError()).find("no microphone"), std::string::npos);
    EXPECT_FALSE(engine.IsAsyncRecord());
}

TEST_F(VoiceEngineTest, MessagesSaveLoadAndRefuseDamagedFiles)
{
    loadVoice(1200);
    const std::string path = inst.root() + "message.tps";
    ASSERT_TRUE(engine.SaveTPS(path, 2, 1));
    EXPECT_EQ(engine.CheckTPS(path), int(TpsKind::Voice));

    BufferAudioDevice otherDevice;
    VoiceEngine other(otherDevice, inst.folder());
    ASSERT_EQ(other.LoadTPS(path, 1), 0);
    EXPECT_EQ(other.message().voice.samples, engine.message().voice.samples);
    EXPECT_EQ(other.message().frames, engine.message().frames);

    // A damaged file is refused and the loaded message stays.
    const std::string damaged = inst.writeFile("damaged.tps", std::string("RIFF\x10\0\0\0WAVEjunk", 16));
    EXPECT_NE(other.LoadTPS(damaged, 1), 0);
    EXPECT_FALSE(test::failureText(other.lastError()).empty());
    EXPECT_EQ(other.message().voice.samples, engine.message().voice.samples);

    // Without the reload flag the file already loaded is not read again.
    inst.writeFile("message.tps", "overwritten");
    EXPECT_EQ(other.LoadTPS(path, 0), 0);
    EXPECT_NE(other.LoadTPS(path, 1), 0);

    TalkingMessage textMessage;
    textMessage.textMode = true;
    textMessage.text = "hello";
    const std::string textPath = inst.root() + "text.tps";
    ASSERT_TRUE(writeTps(textPath, textMessage));
    EXPECT_EQ(engine.CheckTPS(textPath), VoiceEngine::kTextModeMessage);
    // The page's load refuses it and keeps the message it had.
    EXPECT_EQ(other.loadVoiceTps(textPath, 1), VoiceEngine::kTextModeMessage);
    EXPECT_EQ(other.message().voice.samples, engine.message().voice.samples);
    EXPECT_EQ(other.LoadTPS(textPath, 1), 0);
    EXPECT_TRUE(other.message().textMode);
}

TEST_F(VoiceEngineTest, ImportWaveRefusesADamagedWaveAndKeepsTheVoice)
{
    loadVoice(600);
    const std::string bad = inst.writeFile("bad.wav", "RIFF....WAVEfmt nonsense");
    EXPECT_FALSE(engine.ImportWave(bad));
    EXPECT_FALSE(test::failureText(engine.lastError()).empty());
    EXPECT_EQ(engine.GetTotalTime(), 600);
    const std::string second = inst.root() + "voice.wav";
    EXPECT_FALSE(engine.ImportWave(second, &second, 1));
}

TEST_F(VoiceEngineTest, FilterPreviewPlaysTenSecondsAndRestoreGivesTheVoiceBack)
{
    loadVoice(15000);
    const TalkingMessage before = engine.message();

    const PcmAudio saved = engine.ReserveData();
    VoiceEditRecord echo;
    echo.effects = kVoiceEffectEcho;
    echo.echo = 80;
    ASSERT_TRUE(engine.EditVoice(0, 11000, echo));
    EXPECT_NE(engine.message().voice.samples, before.voice.samples);
    const PcmAudio filtered = engine.message().voice;

    ASSERT_TRUE(engine.PlayPreview(10000));
    EXPECT_TRUE(engine.IsPlaySelection());
    run(10500);
    EXPECT_FALSE(engine.IsPlaySelection());
    // The first ten seconds of the filtered voice were heard, nothing more.
    ASSERT_EQ(device.played().samples.size(), std::size_t(10 * 22050));
    EXPECT_TRUE(std::equal(device.played().samples.begin(), device.played().samples.end(), filtered.samples.begin()));

    engine.RestoreData(saved);
    EXPECT_EQ(engine.message().voice.samples, before.voice.samples);
    EXPECT_EQ(engine.message().frames, before.frames);
    EXPECT_EQ(engine.GetTotalTime(), 15000);
}

TEST_F(VoiceEngineTest, EditVoiceOutsideTheVoiceChangesNothing)
{
    VoiceEditRecord echo;
    echo.effects = kVoiceEffectEcho;
    echo.echo = 50;
    EXPECT_FALSE(engine.EditVoice(0, 1000, echo)); // no voice
    loadVoice(1000);
    const PcmAudio before = engine.message().voice;
    EXPECT_FALSE(engine.EditVoice(2000, 3000, echo));
    EXPECT_TRUE(engine.EditVoice(0, 500, VoiceEditRecord{})); // nothing switched on
    EXPECT_EQ(engine.message().voice.samples, before.samples);
}

} // namespace
} // namespace pavonia
