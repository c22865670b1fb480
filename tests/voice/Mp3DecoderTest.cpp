#include "ResultCheck.h"
#include "TestInstallation.h"
#include "VoiceFormatSounds.h"
#include "voice/Mp3Decoder.h"
#include "voice/WaveFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

using namespace pavonia;
using pavonia::test::succeeded;
using pavonia::test::TestInstallation;

namespace {

void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace

TEST(Mp3Decoder, DecodesEveryRateAndLayoutIntoAWaveFile)
{
    TestInstallation inst(false);
    const std::string source = inst.root() + "in.mp3";
    const std::string target = inst.root() + "_pv_tmpWave.wav";
    for (const int rate : {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000})
        for (const int channels : {1, 2}) {
            writeBytes(source, test::silentMp3(rate, channels, 20));
            int outRate = 0, outChannels = 0, outBits = 0;
            Failure error;
            ASSERT_EQ(NBWaveDecodeMp3File(source, &outRate, &outChannels, &outBits, target, &error), 0)
                << rate << "/" << channels << ": " << error.text();
            EXPECT_EQ(outRate, rate);
            EXPECT_EQ(outChannels, channels);
            EXPECT_EQ(outBits, 16);
            PcmAudio audio;
            ASSERT_TRUE(readWave(target, audio));
            EXPECT_EQ(audio.sampleRate, rate);
            EXPECT_EQ(audio.channels, channels);
            EXPECT_EQ(audio.frameCount(), std::size_t(20 * test::samplesPerMp3Frame(rate)));
            EXPECT_EQ(test::rms(audio), 0.0);
        }
}

TEST(Mp3Decoder, DamagedOrForeignFilesGiveAnErrorAndNoWave)
{
    TestInstallation inst(false);
    const std::string root = inst.root();
    const std::string target = root + "out.wav";
    std::mt19937 random(7);
    std::string noise(20000, '\0');
    for (char& c : noise)
        c = char(random());
    struct Case {
        const char* what;
        std::string bytes;
        int result;
    };
    const Case cases[] = {
        {"empty file", "", 2},
        {"text", std::string(5000, 'x'), 2},
        {"random bytes", noise, 2},
        {"a wave file", waveBytes(test::sine(440, 200)), 2},
        {"one header alone", test::silentMp3(44100, 1, 1).substr(0, 4), 2},
    };
    for (const Case& c : cases) {
        writeBytes(root + "in.mp3", c.bytes);
        std::filesystem::remove(target);
        int rate = -1;
        Failure error;
        EXPECT_EQ(NBWaveDecodeMp3File(root + "in.mp3", &rate, nullptr, nullptr, target, &error), c.result)
            << c.what;
        EXPECT_EQ(error.message, str::VoiceMp3DecodeFailed) << c.what << ": " << error.text();
        EXPECT_EQ(rate, -1) << c.what;
        EXPECT_FALSE(std::filesystem::exists(target)) << c.what;
    }

    Failure error;
    EXPECT_EQ(NBWaveDecodeMp3File(root + "missing.mp3", nullptr, nullptr, nullptr, target, &error), 1);
    EXPECT_EQ(error.message, str::VoiceCannotOpen);

    writeBytes(root + "in.mp3", test::silentMp3(22050, 1, 10));
    EXPECT_EQ(NBWaveDecodeMp3File(root + "in.mp3", nullptr, nullptr, nullptr, root + "no/out.wav", &error), 3);
    EXPECT_EQ(error.message, str::VoiceWriteFailed);
}

TEST(Mp3Decoder, SurvivesGarbageInsideFrames)
{
    // Valid frame headers with random side information and main data: the
    // decoder must neither crash nor run past the data, whatever it makes.
    TestInstallation inst(false);
    const std::string path = inst.root() + "in.mp3";
    std::mt19937 random(11);
    for (int round = 0; round < 30; ++round) {
        std::string bytes = test::silentMp3(round % 2 ? 44100 : 22050, 1 + round % 2, 12);
        const std::size_t frameSize = bytes.size() / 12;
        for (std::size_t i = 0; i < bytes.size(); ++i)
            if (i % frameSize >= 4)
                bytes[i] = char(random());
        // Cut the last frame short too.
        bytes.resize(bytes.size() - frameSize / 2);
        writeBytes(path, bytes);
        PcmAudio audio;
        Failure error;
        if (succeeded(decodeMp3(path, audio), error)) {
            EXPECT_EQ(audio.samples.size() % std::size_t(audio.channels), 0u);
            EXPECT_LE(audio.frameCount(), std::size_t(12 * 1152));
        } else {
            EXPECT_NE(error.message, 0);
        }
    }

    // A file cut inside a frame keeps the whole frames before the cut.
    const std::string whole = test::silentMp3(44100, 2, 10);
    writeBytes(path, whole.substr(0, whole.size() - 100));
    PcmAudio audio;
    Failure error;
    ASSERT_TRUE(succeeded(decodeMp3(path, audio), error)) << error.text();
    EXPECT_GE(audio.frameCount(), std::size_t(9 * 1152));
}
