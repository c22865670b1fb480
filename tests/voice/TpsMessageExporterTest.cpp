#include "TestInstallation.h"
#include "VoiceFormatSounds.h"
#include "voice/AudioConvert.h"
#include "voice/TpsFile.h"
#include "voice/TpsMessageExporter.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace pavonia;
using pavonia::test::TestInstallation;

TEST(TpsMessageExporter, LowerQualityMakesSmallerValidMessages)
{
    TestInstallation inst(false);
    const std::string root = inst.root();
    TalkingMessage message;
    message.voice = test::sine(500, 3000, 48000, 2);
    for (int i = 0; i < 75; ++i)
        message.frames.push_back({int16_t(i), 40, 30, 20, 10, int16_t(i % 8)});
    ASSERT_TRUE(writeTps(root + "in.tps", message));

    TpsMessageExporter exporter;
    ASSERT_TRUE(exporter.LoadTpsFile(root + "in.tps"));
    struct Case {
        int quality, rate, channels;
    };
    std::uintmax_t previousSize = std::filesystem::file_size(root + "in.tps") + 1;
    for (const Case c : {Case{1, 44100, 2}, Case{2, 22050, 1}, Case{3, 11025, 1}}) {
        const std::string out = root + "q" + std::to_string(c.quality) + ".tps";
        ASSERT_TRUE(exporter.SaveTpsFile(out, c.quality)) << exporter.lastError().text();
        const std::uintmax_t size = std::filesystem::file_size(out);
        EXPECT_LT(size, previousSize) << c.quality;
        previousSize = size;
        TalkingMessage back;
        ASSERT_TRUE(readTps(out, back)) << c.quality;
        EXPECT_EQ(back.voice.sampleRate, c.rate);
        EXPECT_EQ(back.voice.channels, c.channels);
        EXPECT_EQ(back.frames, message.frames);
        EXPECT_NEAR(double(back.lengthMs()), 3000.0, 1.0);
        // The tone survives at every quality.
        EXPECT_NEAR(test::rms(back.voice), test::rms(message.voice), 0.03 * test::rms(message.voice)) << c.quality;
    }
    // Saving again from the same load, and a rate already low, stays as it is.
    TalkingMessage low;
    low.voice = test::sine(300, 500, 8000, 1);
    ASSERT_TRUE(writeTps(root + "low.tps", low));
    ASSERT_TRUE(exporter.LoadTpsFile(root + "low.tps"));
    ASSERT_TRUE(exporter.SaveTpsFile(root + "low2.tps", 2));
    TalkingMessage back;
    ASSERT_TRUE(readTps(root + "low2.tps", back));
    EXPECT_EQ(back.voice.samples, low.voice.samples);

    // A muted message stays muted.
    ASSERT_TRUE(writeTps(root + "muted.tps", TalkingMessage{}));
    ASSERT_TRUE(exporter.LoadTpsFile(root + "muted.tps"));
    ASSERT_TRUE(exporter.SaveTpsFile(root + "muted3.tps", 3));
    EXPECT_EQ(checkTps(root + "muted3.tps"), TpsKind::Empty);
}

TEST(TpsMessageExporter, NothingIsWrittenWithoutALoadedMessage)
{
    TestInstallation inst(false);
    const std::string root = inst.root();
    TpsMessageExporter exporter;
    EXPECT_FALSE(exporter.SaveTpsFile(root + "out.tps", 1));
    inst.writeFile("bad.tps", "RIFF");
    EXPECT_FALSE(exporter.LoadTpsFile(root + "bad.tps"));
    EXPECT_EQ(exporter.lastError().message, str::VoiceNotMessage);
    EXPECT_FALSE(exporter.SaveTpsFile(root + "out.tps", 1));
    EXPECT_FALSE(std::filesystem::exists(root + "out.tps"));
}

TEST(AudioConvert, ResamplingKeepsWhatFitsAndRemovesWhatWouldAlias)
{
    // 1 kHz passes to 11025 Hz; 9 kHz is above its 5.5 kHz limit and must not
    // fold back as a 2 kHz tone.
    const PcmAudio low = resample(test::sine(1000, 500, 44100), 11025);
    EXPECT_EQ(low.sampleRate, 11025);
    EXPECT_EQ(low.frameCount(), 5512u);
    EXPECT_NEAR(test::rms(low), 8000 / std::sqrt(2.0), 200);
    EXPECT_LT(test::rms(resample(test::sine(9000, 500, 44100), 11025)), 200);
    // Up works too, and mono mixing averages the channels.
    EXPECT_NEAR(test::rms(resample(test::sine(300, 500, 8000), 22050)), 8000 / std::sqrt(2.0), 200);
    PcmAudio stereo;
    stereo.channels = 2;
    stereo.samples = {100, 300, -32768, -32768};
    EXPECT_EQ(mixToMono(stereo).samples, (std::vector<std::int16_t>{200, -32768}));
}
