#include "TestInstallation.h"
#include "VoiceFormatSounds.h"
#include "voice/LipSyncAnalyzer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

using namespace pavonia;
using pavonia::test::TestInstallation;

namespace {

// `ms` of silence (or of quiet noise at `noise` RMS) before and after `audio`.
PcmAudio padded(const PcmAudio& audio, std::int64_t ms, double noise = 0, double gain = 1)
{
    PcmAudio out;
    out.sampleRate = audio.sampleRate;
    out.channels = audio.channels;
    const auto pad = std::size_t(ms * audio.sampleRate / 1000) * std::size_t(audio.channels);
    out.samples.assign(pad, 0);
    for (const std::int16_t s : audio.samples)
        out.samples.push_back(std::int16_t(std::lround(s * gain)));
    out.samples.resize(out.samples.size() + pad, 0);
    std::mt19937 random(3);
    std::normal_distribution<double> normal(0.0, noise);
    if (noise > 0)
        for (std::int16_t& s : out.samples)
            s = std::int16_t(std::clamp(std::lround(s + normal(random)), -32768L, 32767L));
    return out;
}

// The mouth shape found in most frames that are not silent.
Viseme mostCommon(const std::vector<LipSyncFrame>& frames)
{
    std::map<int, int> counts;
    for (const LipSyncFrame& f : frames)
        if (f.viseme != int(Viseme::Rest))
            ++counts[f.viseme];
    if (counts.empty())
        return Viseme::Rest;
    return Viseme(std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                      return a.second < b.second;
                  })->first);
}

class LipSyncSpeech : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::haveEspeak())
            GTEST_SKIP() << "espeak-ng is not installed";
    }
    PcmAudio speak(const std::string& text) { return test::speak(text, inst.root()); }
    TestInstallation inst{false};
};

} // namespace

TEST(LipSync, SilenceKeepsTheMouthClosedOneFramePerStarted40Ms)
{
    struct Case {
        int rate, channels;
        std::int64_t ms;
        std::size_t frames;
    };
    for (const Case c : {Case{22050, 1, 1000, 25}, Case{44100, 2, 1010, 26}, Case{8000, 1, 39, 1}}) {
        PcmAudio silence = test::sine(0, c.ms, c.rate, c.channels);
        const auto frames = analyseLipSync(silence);
        EXPECT_EQ(frames.size(), c.frames) << c.rate;
        for (const LipSyncFrame& f : frames)
            ASSERT_EQ(f, LipSyncFrame{}) << c.rate;
    }
    EXPECT_TRUE(analyseLipSync(PcmAudio{}).empty());
}

TEST_F(LipSyncSpeech, SpeechOpensTheMouthAndPausesCloseIt)
{
    const PcmAudio speech = speak("The quick brown fox jumps over the lazy dog. Hello, my name is Pavonia.");
    ASSERT_FALSE(speech.empty());
    const std::int64_t padMs = 600;
    // Plain, and quiet with a noise floor under it: the floor adapts, so both
    // are read the same way.
    for (const auto& [noise, gain] : {std::pair{0.0, 1.0}, std::pair{30.0, 0.3}}) {
        const auto frames = analyseLipSync(padded(speech, padMs, noise, gain));
        const std::size_t pad = padMs / kLipSyncFrameMs;
        ASSERT_GT(frames.size(), 2 * pad);
        for (std::size_t i = 0; i < pad - 2; ++i) {
            ASSERT_TRUE(frames[i].mouthClosed()) << "noise " << noise << " frame " << i;
            ASSERT_TRUE(frames[frames.size() - 1 - i].mouthClosed()) << "noise " << noise << " frame " << i;
        }
        // espeak-ng's own pauses close the mouth too, so "mostly" means more
        // than two thirds.
        const auto open = std::count_if(frames.begin() + pad, frames.end() - pad,
                                        [](const LipSyncFrame& f) { return !f.mouthClosed(); });
        EXPECT_GT(double(open), 0.66 * double(frames.size() - 2 * pad)) << "noise " << noise;
        // Not a loudness flap: several mouth shapes take part.
        std::map<int, int> shapes;
        for (const LipSyncFrame& f : frames)
            ++shapes[f.viseme];
        EXPECT_GE(shapes.size(), 5u) << "noise " << noise;
    }
}

TEST_F(LipSyncSpeech, SoundsGiveTheirMouthShapes)
{
    struct Case {
        const char* phonemes;
        Viseme shape;
    };
    const Case cases[] = {
        {"[[a:a:a:]]", Viseme::OpenVowel},
        {"[[i:i:i:]]", Viseme::CloseFront},
        {"[[o:o:o:]]", Viseme::Rounded},
        {"[[s:s:s:]]", Viseme::Fricative},
        {"[[S:S:S:]]", Viseme::Fricative},
    };
    for (const Case& c : cases) {
        const auto frames = analyseLipSync(padded(speak(c.phonemes), 200));
        EXPECT_EQ(mostCommon(frames), c.shape) << c.phonemes;
        const auto widest = std::max_element(frames.begin(), frames.end(), [](auto& a, auto& b) {
            return a.open < b.open;
        });
        ASSERT_NE(widest, frames.end());
        if (c.shape == Viseme::OpenVowel) {
            EXPECT_GE(widest->open, 60) << c.phonemes;
        }
        if (c.shape == Viseme::Fricative) {
            EXPECT_LE(widest->open, 30) << c.phonemes;
        }
    }
    // Lips rounded for "o", spread for "i".
    const auto o = analyseLipSync(speak("[[o:o:o:]]"));
    const auto i = analyseLipSync(speak("[[i:i:i:]]"));
    const auto most = [](const std::vector<LipSyncFrame>& frames, auto field) {
        int best = 0;
        for (const LipSyncFrame& f : frames)
            best = std::max(best, int(f.*field));
        return best;
    };
    EXPECT_GT(most(o, &LipSyncFrame::round), 60);
    EXPECT_GT(most(i, &LipSyncFrame::width), 70);
}

TEST(LipSync, SettingsComeFromTheInstallationWithSoundDefaults)
{
    TestInstallation inst;
    // The installation's file states the built-in values.
    const LipSyncSettings shipped = LipSyncSettings::load(inst.folder());
    const LipSyncSettings defaults;
    EXPECT_EQ(shipped.silenceDb, defaults.silenceDb);
    EXPECT_EQ(shipped.roundedRatio, defaults.roundedRatio);
    EXPECT_EQ(shipped.smoothing, defaults.smoothing);

    inst.writeFile(inst.folder().substr(inst.root().size()) + "LIPSincData/lipsync.ini", "[LipSync]\nSilenceDb=20\nSmoothing=7\nOpenF1Hz=abc\n");
    const LipSyncSettings read = LipSyncSettings::load(inst.folder());
    EXPECT_EQ(read.silenceDb, 20.0);
    EXPECT_EQ(read.smoothing, defaults.smoothing); // out of range
    EXPECT_EQ(read.openF1Hz, defaults.openF1Hz);   // no number

    EXPECT_EQ(LipSyncSettings::load(inst.root() + "nowhere/").silenceDb, defaults.silenceDb);

    // A tone 15 dB above a noise floor speaks with the defaults and is taken
    // for silence once the threshold is above it.
    PcmAudio tone = test::sine(220, 2000, 22050, 1, 300);
    for (std::size_t f = 0; f < tone.samples.size(); ++f)
        if (f % 22050 < 11025)
            tone.samples[f] = std::int16_t(tone.samples[f] / 6); // quiet half-seconds
    auto openFrames = [](const std::vector<LipSyncFrame>& frames) {
        return std::count_if(frames.begin(), frames.end(), [](auto& f) { return !f.mouthClosed(); });
    };
    EXPECT_GT(openFrames(analyseLipSync(tone, defaults)), 20);
    EXPECT_EQ(openFrames(analyseLipSync(tone, read)), 0);
}
