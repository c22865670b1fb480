#pragma once
// Small sounds for the voice engine and page tests: a voiced tone in bursts
// with silence between them, so the lip-sync analysis has both to find.
#include "voice/LipSyncAnalyzer.h"
#include "voice/PcmAudio.h"
#include "voice/TpsFile.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace pavonia::test {

// `ms` of sound at `rate`: 300 ms of a 200 Hz tone with a few harmonics,
// then 200 ms of silence, over and over.
inline PcmAudio voicedBursts(std::int64_t ms, int rate = 22050, int channels = 1)
{
    PcmAudio audio;
    audio.sampleRate = rate;
    audio.channels = channels;
    const std::size_t frames = std::size_t(ms * rate / 1000);
    audio.samples.reserve(frames * std::size_t(channels));
    for (std::size_t f = 0; f < frames; ++f) {
        const double t = double(f) / rate;
        const bool voiced = std::fmod(t, 0.5) < 0.3;
        double v = 0;
        if (voiced)
            for (int h = 1; h <= 5; ++h)
                v += std::sin(2 * M_PI * 200 * h * t) / h;
        const auto sample = static_cast<std::int16_t>(v * 6000);
        for (int c = 0; c < channels; ++c)
            audio.samples.push_back(sample);
    }
    return audio;
}

// Writes a talking message of `ms` of voiced bursts and their lip-sync to
// `path`; true when written.
inline bool writeVoicedMessage(const std::string& path, std::int64_t ms)
{
    TalkingMessage message;
    message.voice = voicedBursts(ms);
    message.frames = analyseLipSync(message.voice);
    return writeTps(path, message).ok();
}

} // namespace pavonia::test
