// Lip-sync analysis of a 10-minute voice on one core: espeak-ng speech
// repeated (a synthetic voice of tone bursts when espeak-ng is missing).
// Prints how many times faster than real time the analysis runs (it must be
// at least 50) and its ratio to a baseline measured in the same run: one
// pass over the voice computing each 40 ms frame's loudness, the least any
// analysis must do.
#include "BenchSupport.h"
#include "voice/LipSyncAnalyzer.h"
#include "voice/WaveFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <string>
#include <unistd.h>

using namespace pavonia;
using pavonia::bench::bestSeconds;

namespace {

constexpr int kMinutes = 10;

PcmAudio speech()
{
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("pavonia-bench-speech-" + std::to_string(::getpid()) + ".wav"))
                                 .string();
    PcmAudio audio;
    const std::string command =
        "espeak-ng -w '" + path +
        "' 'Welcome to this presentation. Today we look at the results of the year, "
        "the plans for the next one, and what they mean for each of us.' >/dev/null 2>&1";
    if (std::system(command.c_str()) == 0 && readWave(path, audio) && !audio.empty()) {
        std::filesystem::remove(path);
        return audio;
    }
    std::filesystem::remove(path);
    std::printf("espeak-ng not available: using a synthetic voice\n");
    audio.sampleRate = 22050;
    for (int i = 0; i < 22050 * 5; ++i) {
        const double t = i / 22050.0;
        double v = 0;
        if (std::fmod(t, 0.5) < 0.3)
            for (int h = 1; h <= 8; ++h)
                v += std::sin(2 * std::numbers::pi * 140 * h * t) / h;
        audio.samples.push_back(std::int16_t(v * 6000));
    }
    return audio;
}

} // namespace

int main()
{
    const PcmAudio piece = speech();
    PcmAudio voice;
    voice.sampleRate = piece.sampleRate;
    voice.channels = piece.channels;
    const std::size_t target = std::size_t(kMinutes) * 60 * std::size_t(piece.sampleRate) * std::size_t(piece.channels);
    while (voice.samples.size() < target)
        voice.samples.insert(voice.samples.end(), piece.samples.begin(), piece.samples.end());
    voice.samples.resize(target);
    const double audioSeconds = double(voice.frameCount()) / voice.sampleRate;

    std::size_t frames = 0, open = 0;
    const double analysis = bestSeconds(3, [&] {
        const auto result = analyseLipSync(voice);
        frames = result.size();
        open = std::size_t(std::count_if(result.begin(), result.end(), [](auto& f) { return !f.mouthClosed(); }));
    });

    double sink = 0;
    const double baseline = bestSeconds(3, [&] {
        const std::size_t step = std::size_t(voice.sampleRate) * kLipSyncFrameMs / 1000;
        for (std::size_t at = 0; at < voice.samples.size(); at += step) {
            double sum = 0;
            const std::size_t end = std::min(voice.samples.size(), at + step);
            for (std::size_t i = at; i < end; ++i)
                sum += double(voice.samples[i]) * voice.samples[i];
            sink += std::sqrt(sum / double(end - at));
        }
    });

    const double realTime = audioSeconds / analysis;
    std::printf("voice: %.0f s at %d Hz, %zu frames (%zu open)\n", audioSeconds, voice.sampleRate, frames, open);
    std::printf("analysis: %.3f s, %.0f times faster than real time (needs 50)\n", analysis, realTime);
    std::printf("baseline (loudness pass): %.4f s; analysis / baseline = %.1f%s\n", baseline,
                analysis / baseline, sink < 0 ? " " : "");
    return realTime >= 50 ? 0 : 1;
}
