#include "voice/VoiceEditRecord.h"
#include "voice/VoiceFilters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

namespace pavonia {
namespace {

constexpr int kRate = 22050;

// A voiced test tone: harmonics of f0 shaped by one resonance near 800 Hz,
// the way a vowel's formant shapes the harmonics of the voice.
PcmAudio voicedTone(double f0, double seconds, int channels = 1)
{
    PcmAudio a;
    a.sampleRate = kRate;
    a.channels = channels;
    const std::size_t n = std::size_t(seconds * kRate);
    a.samples.resize(n * channels);
    for (std::size_t i = 0; i < n; ++i) {
        double t = double(i) / kRate, v = 0;
        for (int h = 1; h * f0 < 5000; ++h) {
            double f = h * f0;
            double amp = std::exp(-std::pow((f - 800) / 400, 2)) + 0.15 / h;
            v += amp * std::sin(2 * std::numbers::pi * f * t);
        }
        for (int c = 0; c < channels; ++c)
            a.samples[i * channels + c] = int16_t(std::lround(v * 6000 / (c + 1)));
    }
    return a;
}

std::vector<double> channelOf(const PcmAudio& a, std::size_t from, std::size_t to, int c = 0)
{
    std::vector<double> x;
    for (std::size_t f = from; f < to; ++f)
        x.push_back(a.samples[f * a.channels + c]);
    return x;
}

// The fundamental by normalised autocorrelation: the shortest lag whose
// correlation comes close to the best, refined between samples.
double fundamentalHz(const std::vector<double>& x, int rate)
{
    const int minLag = rate / 600, maxLag = rate / 50;
    const std::size_t w = x.size() - maxLag - 2;
    std::vector<double> r(maxLag + 2, 0.0);
    double best = 0;
    for (int lag = minLag - 1; lag <= maxLag + 1; ++lag) {
        double dot = 0, e0 = 0, e1 = 0;
        for (std::size_t i = 0; i < w; ++i) {
            dot += x[i] * x[i + lag];
            e0 += x[i] * x[i];
            e1 += x[i + lag] * x[i + lag];
        }
        r[lag] = dot / std::sqrt(e0 * e1 + 1e-9);
        if (lag >= minLag && lag <= maxLag)
            best = std::max(best, r[lag]);
    }
    for (int lag = minLag; lag <= maxLag; ++lag)
        if (r[lag] >= 0.9 * best && r[lag] >= r[lag - 1] && r[lag] >= r[lag + 1]) {
            double d = r[lag - 1] - 2 * r[lag] + r[lag + 1];
            double shift = d != 0 ? 0.5 * (r[lag - 1] - r[lag + 1]) / d : 0;
            return rate / (lag + shift);
        }
    return 0;
}

// How bright a sound is: the RMS frequency, from the energy of its slope.
double rmsFrequencyHz(const std::vector<double>& x, int rate)
{
    double e = 0, d = 0;
    for (std::size_t i = 1; i < x.size(); ++i) {
        e += x[i] * x[i];
        d += (x[i] - x[i - 1]) * (x[i] - x[i - 1]);
    }
    return std::sqrt(d / e) * rate / (2 * std::numbers::pi);
}

double rms(const std::vector<double>& x)
{
    double e = 0;
    for (double v : x)
        e += v * v;
    return std::sqrt(e / double(x.size()));
}

VoiceEditRecord only(VoiceEffect effect, int32_t value)
{
    VoiceEditRecord r;
    r.effects = uint16_t(effect);
    r.pitchScale = effect == kVoiceEffectPitch ? value : 50;
    r.headSize = effect == kVoiceEffectHeadSize ? value : 50;
    r.robot = effect == kVoiceEffectRobot ? value : 0;
    r.echo = effect == kVoiceEffectEcho ? value : 0;
    return r;
}

// The biggest step between neighbouring samples.
int maxStep(const PcmAudio& a, std::size_t from, std::size_t to)
{
    int m = 0;
    for (std::size_t f = std::max<std::size_t>(from, 1); f < to; ++f)
        m = std::max(m, std::abs(a.samples[f] - a.samples[f - 1]));
    return m;
}

TEST(VoiceEditRecordTest, EncodesEveryFieldAtItsOffsetAndReadsItBack)
{
    VoiceEditRecord r = VoiceEditRecord::forOk(0x000B, 75, -2, 0x01020304, 100);
    auto bytes = r.encode();
    ASSERT_EQ(bytes.size(), 48u);
    EXPECT_EQ(bytes[4], 0);
    EXPECT_EQ(bytes[8], 100);
    EXPECT_EQ(bytes[12], 0);
    for (int i = 16; i < 28; ++i)
        EXPECT_EQ(bytes[i], 0) << i;
    EXPECT_EQ(bytes[28], 0x0B);
    EXPECT_EQ(bytes[29], 0);
    EXPECT_EQ(bytes[32], 75);
    EXPECT_EQ(bytes[36], 0xFE);
    EXPECT_EQ(bytes[39], 0xFF);
    EXPECT_EQ(bytes[40], 0x04);
    EXPECT_EQ(bytes[43], 0x01);
    EXPECT_EQ(bytes[44], 100);

    auto back = VoiceEditRecord::decode(bytes.data(), bytes.size());
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, r);
    EXPECT_FALSE(VoiceEditRecord::decode(bytes.data(), 47));
}

TEST(VoiceFiltersTest, NothingToApplyLeavesTheVoiceByteForByte)
{
    const PcmAudio original = voicedTone(150, 1.0);
    VoiceEditRecord allOff;
    allOff.pitchScale = 80; // values without their flags do nothing
    allOff.robot = 60;
    VoiceEditRecord neutral = VoiceEditRecord::forOk(kVoiceEffectAll, 50, 50, 0, 0);
    struct Case {
        const char* what;
        VoiceEditRecord record;
        int64_t start, end;
    } cases[] = {
        {"no flag", allOff, 0, 1000},
        {"every flag at its neutral value", neutral, 0, 1000},
        {"empty range", only(kVoiceEffectEcho, 50), 400, 400},
        {"range backwards", only(kVoiceEffectEcho, 50), 800, 200},
        {"range after the end", only(kVoiceEffectRobot, 50), 2000, 3000},
    };
    for (const Case& c : cases) {
        PcmAudio a = original;
        EXPECT_FALSE(applyVoiceFilter(a, c.start, c.end, c.record)) << c.what;
        EXPECT_EQ(a.samples, original.samples) << c.what;
    }
    PcmAudio empty;
    EXPECT_FALSE(applyVoiceFilter(empty, 0, 1000, only(kVoiceEffectPitch, 80)));
}

TEST(VoiceFiltersTest, PitchScaleMovesTheFundamentalByTheSetAmountAndKeepsTheLength)
{
    const PcmAudio original = voicedTone(160, 1.5);
    struct Case {
        int value;
        double factor;
    } cases[] = {{0, 0.5}, {25, std::sqrt(0.5)}, {40, std::pow(2.0, -0.2)}, {75, std::sqrt(2.0)}, {100, 2.0}};
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(voicePitchFactor(c.value), c.factor);
        PcmAudio a = original;
        ASSERT_TRUE(applyVoiceFilter(a, 0, 1500, only(kVoiceEffectPitch, c.value)));
        ASSERT_EQ(a.samples.size(), original.samples.size());
        double f0 = fundamentalHz(channelOf(a, kRate / 2, kRate), kRate);
        EXPECT_NEAR(f0 / 160.0, c.factor, 0.02 * c.factor) << "value " << c.value << ": " << f0 << " Hz";
    }
}

TEST(VoiceFiltersTest, HeadSizeMovesTheFormantsAndKeepsTheFundamental)
{
    const PcmAudio original = voicedTone(140, 1.5);
    const double brightness = rmsFrequencyHz(channelOf(original, kRate / 2, kRate), kRate);
    for (int value : {0, 20, 80, 100}) {
        PcmAudio a = original;
        ASSERT_TRUE(applyVoiceFilter(a, 0, 1500, only(kVoiceEffectHeadSize, value)));
        ASSERT_EQ(a.samples.size(), original.samples.size());
        auto mid = channelOf(a, kRate / 2, kRate);
        EXPECT_NEAR(fundamentalHz(mid, kRate), 140.0, 2.0) << "value " << value;
        // A small head (low values) sounds brighter, a big one darker, by
        // about the formant factor.
        double ratio = rmsFrequencyHz(mid, kRate) / brightness;
        double factor = voiceFormantFactor(value);
        EXPECT_EQ(ratio > 1, factor > 1) << "value " << value << " ratio " << ratio;
        EXPECT_NEAR(std::log(ratio), std::log(factor), 0.5 * std::abs(std::log(factor)))
            << "value " << value << " ratio " << ratio;
    }
}

TEST(VoiceFiltersTest, EchoAddsADecayingCopyAtTheDelay)
{
    // A burst of noise, then quiet: the echo is whatever appears afterwards.
    PcmAudio a;
    a.sampleRate = kRate;
    a.samples.assign(kRate, 0);
    uint32_t seed = 12345;
    for (int i = 0; i < kRate / 20; ++i) {
        seed = seed * 1664525u + 1013904223u;
        a.samples[kRate / 10 + i] = int16_t(int(seed >> 20) - 2048) * 4;
    }
    const PcmAudio original = a;
    const int value = 50;
    ASSERT_TRUE(applyVoiceFilter(a, 0, 1000, only(kVoiceEffectEcho, value)));

    std::vector<double> in = channelOf(original, 0, kRate), added(kRate);
    for (int i = 0; i < kRate; ++i)
        added[i] = a.samples[i] - original.samples[i];
    int bestLag = 0;
    double best = 0;
    for (int lag = 1; lag < kRate / 2; ++lag) {
        double dot = 0;
        for (int i = 0; i + lag < kRate; ++i)
            dot += in[i] * added[i + lag];
        if (dot > best) {
            best = dot;
            bestLag = lag;
        }
    }
    const int delay = voiceEchoDelayMs(value) * kRate / 1000;
    EXPECT_EQ(voiceEchoDelayMs(value), 210);
    EXPECT_EQ(bestLag, delay);
    double energy = 0;
    for (double v : in)
        energy += v * v;
    EXPECT_NEAR(best / energy, voiceEchoLevel(value), 0.02);
    // The second copy is weaker than the first.
    EXPECT_LT(rms(channelOf(a, kRate / 10 + 2 * delay, kRate / 10 + 2 * delay + kRate / 20)),
              rms(channelOf(a, kRate / 10 + delay, kRate / 10 + delay + kRate / 20)));
}

TEST(VoiceFiltersTest, RobotChangesTheSoundTheMoreTheHigherItIsSet)
{
    const PcmAudio original = voicedTone(150, 1.0);
    auto in = channelOf(original, 0, kRate);
    double previous = 0;
    for (int value : {30, 100}) {
        PcmAudio a = original;
        ASSERT_TRUE(applyVoiceFilter(a, 0, 1000, only(kVoiceEffectRobot, value)));
        auto out = channelOf(a, 0, kRate);
        std::vector<double> diff(out.size());
        for (std::size_t i = 0; i < out.size(); ++i)
            diff[i] = out[i] - in[i];
        double change = rms(diff) / rms(in);
        EXPECT_GT(change, previous) << value;
        EXPECT_GT(change, 0.2) << value;
        EXPECT_GT(rms(out), 0.2 * rms(in)) << value; // still audible
        previous = change;
    }
}

TEST(VoiceFiltersTest, OnlyTheRangeChangesAndItsEdgesDoNotClick)
{
    // Stereo, so that both channels are filtered and stay in their places.
    const PcmAudio original = voicedTone(180, 2.0, 2);
    const std::size_t start = kRate / 2, end = kRate * 3 / 2;
    for (auto record : {only(kVoiceEffectPitch, 100), only(kVoiceEffectHeadSize, 0),
                        only(kVoiceEffectRobot, 100), only(kVoiceEffectEcho, 100),
                        VoiceEditRecord::forOk(kVoiceEffectAll, 70, 30, 50, 50)}) {
        PcmAudio a = original;
        ASSERT_TRUE(applyVoiceFilter(a, 500, 1500, record));
        ASSERT_EQ(a.samples.size(), original.samples.size());
        EXPECT_TRUE(std::equal(a.samples.begin(), a.samples.begin() + long(start * 2), original.samples.begin()));
        EXPECT_TRUE(std::equal(a.samples.begin() + long(end * 2), a.samples.end(),
                               original.samples.begin() + long(end * 2)));
        for (int c = 0; c < 2; ++c) {
            auto before = channelOf(original, start, end, c), after = channelOf(a, start, end, c);
            EXPECT_GT(rms(std::vector<double>(after.begin() + kRate / 4, after.end() - kRate / 4)), 0)
                << "channel " << c;
            EXPECT_NE(before, after) << "channel " << c;
        }
        // At the edges no step is bigger than the steps inside the filtered
        // sound or the sound as it was.
        PcmAudio left;
        left.samples = std::vector<int16_t>(a.samples.size() / 2);
        for (std::size_t f = 0; f < left.samples.size(); ++f)
            left.samples[f] = a.samples[f * 2];
        PcmAudio leftBefore = left;
        for (std::size_t f = 0; f < left.samples.size(); ++f)
            leftBefore.samples[f] = original.samples[f * 2];
        int allowed = std::max(maxStep(left, start + kRate / 10, end - kRate / 10), maxStep(leftBefore, 0, start));
        EXPECT_LE(maxStep(left, start - 50, start + 50), allowed * 1.1);
        EXPECT_LE(maxStep(left, end - 50, end + 50), allowed * 1.1);
    }
}

TEST(VoiceFiltersTest, TinyVoicesAndOtherRatesKeepTheirLength)
{
    const auto all = VoiceEditRecord::forOk(kVoiceEffectAll, 90, 10, 50, 50);
    for (int rate : {8000, 44100, 48000}) {
        for (std::size_t frames : {std::size_t(1), std::size_t(7), std::size_t(rate / 50), std::size_t(rate)}) {
            PcmAudio a;
            a.sampleRate = rate;
            a.channels = 2;
            a.samples.resize(frames * 2);
            for (std::size_t i = 0; i < a.samples.size(); ++i)
                a.samples[i] = int16_t(8000 * std::sin(0.05 * double(i)));
            const PcmAudio original = a;
            applyVoiceFilter(a, 0, 60000, all);
            EXPECT_EQ(a.samples.size(), original.samples.size()) << rate << " Hz, " << frames << " frames";
        }
    }
}

// Speech read from a wave file written by espeak-ng: 16-bit mono.
std::optional<PcmAudio> speech(const std::string& text)
{
    auto path = std::filesystem::temp_directory_path() / ("pavonia_filters_" + std::to_string(::getpid()) + ".wav");
    std::string command = "espeak-ng -w '" + path.string() + "' '" + text + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0)
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    std::filesystem::remove(path);
    auto u32 = [&](std::size_t at) {
        return uint32_t(uint8_t(bytes[at])) | uint32_t(uint8_t(bytes[at + 1])) << 8 |
               uint32_t(uint8_t(bytes[at + 2])) << 16 | uint32_t(uint8_t(bytes[at + 3])) << 24;
    };
    PcmAudio a;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        std::string id = bytes.substr(at, 4);
        std::size_t size = u32(at + 4);
        if (id == "fmt " && at + 16 <= bytes.size()) {
            a.channels = uint8_t(bytes[at + 10]);
            a.sampleRate = int(u32(at + 12));
        } else if (id == "data") {
            std::size_t n = std::min(size, bytes.size() - at - 8) / 2;
            for (std::size_t i = 0; i < n; ++i)
                a.samples.push_back(int16_t(uint8_t(bytes[at + 8 + 2 * i]) | uint8_t(bytes[at + 9 + 2 * i]) << 8));
            break;
        }
        at += 8 + size + (size & 1);
    }
    if (a.samples.empty() || a.channels != 1)
        return std::nullopt;
    return a;
}

// The median fundamental over the voiced 40 ms frames of a sound.
double medianFundamental(const PcmAudio& a)
{
    std::vector<double> found;
    const std::size_t frame = std::size_t(a.sampleRate) / 25;
    double loud = rms(channelOf(a, 0, a.frameCount()));
    for (std::size_t f = 0; f + frame <= a.frameCount(); f += frame) {
        auto x = channelOf(a, f, f + frame);
        if (rms(x) < loud)
            continue;
        double hz = fundamentalHz(x, a.sampleRate);
        if (hz > 60 && hz < 500)
            found.push_back(hz);
    }
    if (found.empty())
        return 0;
    std::nth_element(found.begin(), found.begin() + long(found.size() / 2), found.end());
    return found[found.size() / 2];
}

TEST(VoiceFiltersTest, OnSpeechPitchScaleRaisesTheVoiceAndHeadSizeKeepsIt)
{
    auto voice = speech("Welcome to the presentation. Today we look at our plans for the year.");
    if (!voice)
        GTEST_SKIP() << "espeak-ng is not available";
    const double before = medianFundamental(*voice);
    ASSERT_GT(before, 60);

    PcmAudio higher = *voice;
    ASSERT_TRUE(applyVoiceFilter(higher, 0, higher.lengthMs(), only(kVoiceEffectPitch, 75)));
    EXPECT_EQ(higher.samples.size(), voice->samples.size());
    EXPECT_NEAR(medianFundamental(higher) / before, std::sqrt(2.0), 0.1);

    PcmAudio bigHead = *voice;
    ASSERT_TRUE(applyVoiceFilter(bigHead, 0, bigHead.lengthMs(), only(kVoiceEffectHeadSize, 100)));
    EXPECT_NEAR(medianFundamental(bigHead) / before, 1.0, 0.05);
    EXPECT_LT(rmsFrequencyHz(channelOf(bigHead, 0, bigHead.frameCount()), bigHead.sampleRate),
              rmsFrequencyHz(channelOf(*voice, 0, voice->frameCount()), voice->sampleRate));
}

} // namespace
} // namespace pavonia
