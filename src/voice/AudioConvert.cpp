#include "voice/AudioConvert.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace pavonia {

PcmAudio mixToMono(const PcmAudio& audio)
{
    if (audio.channels <= 1)
        return audio;
    PcmAudio out;
    out.sampleRate = audio.sampleRate;
    out.channels = 1;
    const std::size_t frames = audio.frameCount();
    const auto channels = std::size_t(audio.channels);
    out.samples.resize(frames);
    for (std::size_t f = 0; f < frames; ++f) {
        int sum = 0;
        for (std::size_t c = 0; c < channels; ++c)
            sum += audio.samples[f * channels + c];
        out.samples[f] = int16_t(sum / int(channels));
    }
    return out;
}

PcmAudio resample(const PcmAudio& audio, int rate)
{
    if (rate <= 0 || rate == audio.sampleRate || audio.sampleRate <= 0 || audio.channels <= 0)
        return audio;
    PcmAudio out;
    out.sampleRate = rate;
    out.channels = audio.channels;
    const std::size_t inFrames = audio.frameCount();
    const auto outFrames = std::size_t(std::int64_t(inFrames) * rate / audio.sampleRate);
    const auto channels = std::size_t(audio.channels);
    out.samples.resize(outFrames * channels);

    // A Hann-windowed sinc, its cut-off below the lower of the two Nyquist
    // frequencies.
    const double ratio = double(rate) / double(audio.sampleRate);
    const double cutoff = std::min(1.0, ratio) * 0.95;
    constexpr int kTaps = 16; // on each side, in units of the wider sample spacing
    const double reach = kTaps / cutoff;
    for (std::size_t o = 0; o < outFrames; ++o) {
        const double centre = double(o) / ratio;
        const auto first = std::int64_t(std::ceil(centre - reach));
        const auto last = std::int64_t(std::floor(centre + reach));
        for (std::size_t c = 0; c < channels; ++c) {
            double sum = 0.0, weights = 0.0;
            for (std::int64_t i = first; i <= last; ++i) {
                const double x = (double(i) - centre) * cutoff;
                const double sinc = x == 0.0 ? 1.0 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
                const double window = 0.5 + 0.5 * std::cos(std::numbers::pi * x / kTaps);
                const double w = sinc * window;
                weights += w;
                if (i >= 0 && std::size_t(i) < inFrames)
                    sum += w * audio.samples[std::size_t(i) * channels + c];
            }
            const double v = weights != 0.0 ? sum / weights : 0.0;
            out.samples[o * channels + c] = int16_t(std::clamp(std::lround(v), -32768L, 32767L));
        }
    }
    return out;
}

} // namespace pavonia
