// Filtering a 10-minute voice with every voice filter together and with each
// alone, on one core. Prints how many times faster than real time each run
// is (the voice's own length is the baseline) and, for scale, the cost
// against copying the same samples once. Fails when a run is slower than
// 50 times real time.
#include "BenchSupport.h"
#include "voice/VoiceEditRecord.h"
#include "voice/VoiceFilters.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <random>
#include <vector>

using namespace pavonia;
using pavonia::bench::secondsOf;

namespace {

// Speech-like sound: a voice whose pitch glides between 100 and 220 Hz, in
// syllables of about a quarter second with short pauses, over a little hiss.
PcmAudio speechLikeVoice(int seconds, int rate)
{
    PcmAudio a;
    a.sampleRate = rate;
    a.channels = 1;
    a.samples.resize(std::size_t(seconds) * rate);
    std::mt19937 random(7);
    std::normal_distribution<double> hiss(0.0, 150.0);
    double phase = 0;
    for (std::size_t i = 0; i < a.samples.size(); ++i) {
        double t = double(i) / rate;
        double f0 = 160 + 60 * std::sin(2 * std::numbers::pi * 0.3 * t);
        phase += 2 * std::numbers::pi * f0 / rate;
        double syllable = std::max(0.0, std::sin(2 * std::numbers::pi * 2.0 * t));
        double v = 0;
        for (int h = 1; h <= 12; ++h)
            v += std::sin(h * phase) / h;
        a.samples[i] = int16_t(std::lround(std::clamp(v * 5000 * syllable + hiss(random), -32768.0, 32767.0)));
    }
    return a;
}

} // namespace

int main()
{
    constexpr int kSeconds = 600;
    constexpr int kRate = 22050;
    constexpr double kRequired = 50.0;
    const PcmAudio voice = speechLikeVoice(kSeconds, kRate);

    PcmAudio copy;
    const double copySeconds = secondsOf([&] { copy = voice; });

    struct Run {
        const char* name;
        VoiceEditRecord record;
    } runs[] = {
        {"pitch scale 75", VoiceEditRecord::forOk(kVoiceEffectPitch, 75, 50, 0, 0)},
        {"head size 30", VoiceEditRecord::forOk(kVoiceEffectHeadSize, 50, 30, 0, 0)},
        {"robot 60", VoiceEditRecord::forOk(kVoiceEffectRobot, 50, 50, 60, 0)},
        {"echo 50", VoiceEditRecord::forOk(kVoiceEffectEcho, 50, 50, 0, 50)},
        {"all four", VoiceEditRecord::forOk(kVoiceEffectAll, 75, 30, 60, 50)},
    };
    bool fastEnough = true;
    std::printf("voice: %d s at %d Hz mono; copying it once: %.4f s\n", kSeconds, kRate, copySeconds);
    for (const Run& run : runs) {
        PcmAudio work = voice;
        const double s = secondsOf([&] { applyVoiceFilter(work, 0, int64_t(kSeconds) * 1000, run.record); });
        const double realTime = kSeconds / s;
        std::printf("%-16s %7.3f s  %7.1f x real time  %8.0f x a copy\n", run.name, s, realTime,
                    s / std::max(copySeconds, 1e-9));
        fastEnough = fastEnough && realTime >= kRequired;
    }
    std::printf("%s (at least %.0f x real time required)\n", fastEnough ? "ok" : "TOO SLOW", kRequired);
    return fastEnough ? 0 : 1;
}
