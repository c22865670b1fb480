#include "voice/AudioConvert.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
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

namespace {

// A Hann-windowed sinc, its cut-off below the lower of the two Nyquist
// frequencies.
struct Kernel {
    static constexpr int kTaps = 16; // on each side, in units of the wider sample spacing
    Kernel(int fromRate, int toRate)
        : ratio(double(toRate) / double(fromRate)), cutoff(std::min(1.0, ratio) * 0.95), reach(kTaps / cutoff)
    {
    }
    double centre(std::int64_t o) const { return double(o) / ratio; }
    std::int64_t first(std::int64_t o) const { return std::int64_t(std::ceil(centre(o) - reach)); }
    std::int64_t last(std::int64_t o) const { return std::int64_t(std::floor(centre(o) + reach)); }

    // Output frame `o` into `out` from the input frames [begin, end), of
    // which `in` holds the first; frames outside them count as silence.
    void frame(std::int64_t o, const std::int16_t* in, std::int64_t begin, std::int64_t end, std::size_t channels,
               std::int16_t* out) const
    {
        const double c = centre(o);
        const std::int64_t from = first(o);
        const std::int64_t to = last(o);
        for (std::size_t ch = 0; ch < channels; ++ch) {
            double sum = 0.0, weights = 0.0;
            for (std::int64_t i = from; i <= to; ++i) {
                const double x = (double(i) - c) * cutoff;
                const double sinc = x == 0.0 ? 1.0 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
                const double window = 0.5 + 0.5 * std::cos(std::numbers::pi * x / kTaps);
                const double w = sinc * window;
                weights += w;
                if (i >= begin && i < end)
                    sum += w * in[std::size_t(i - begin) * channels + ch];
            }
            const double v = weights != 0.0 ? sum / weights : 0.0;
            out[ch] = int16_t(std::clamp(std::lround(v), -32768L, 32767L));
        }
    }

    double ratio, cutoff, reach;
};

} // namespace

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
    const Kernel kernel(audio.sampleRate, rate);
    for (std::size_t o = 0; o < outFrames; ++o)
        kernel.frame(std::int64_t(o), audio.samples.data(), 0, std::int64_t(inFrames), channels,
                     out.samples.data() + o * channels);
    return out;
}

Resampler::Resampler(int fromRate, int toRate, int channels)
    : fromRate_(fromRate), toRate_(toRate), channels_(std::size_t(std::max(channels, 1)))
{
}

std::vector<std::int16_t> Resampler::push(const std::vector<std::int16_t>& samples)
{
    if (fromRate_ == toRate_)
        return samples;
    held_.insert(held_.end(), samples.begin(), samples.end());
    inFrames_ += std::int64_t(samples.size() / channels_);
    return produce(false);
}

std::vector<std::int16_t> Resampler::finish()
{
    if (fromRate_ == toRate_)
        return {};
    return produce(true);
}

std::vector<std::int16_t> Resampler::produce(bool final)
{
    const Kernel kernel(fromRate_, toRate_);
    // Before the end an output frame waits until all of its input is there;
    // at the end the frames after the sound count as silence, as resample()
    // counts them.
    const std::int64_t total = inFrames_ * toRate_ / fromRate_;
    std::int64_t until = outFrames_;
    while (until < total && (final || kernel.last(until) < inFrames_))
        ++until;
    std::vector<std::int16_t> out(std::size_t(until - outFrames_) * channels_);
    for (std::int64_t o = outFrames_; o < until; ++o)
        kernel.frame(o, held_.data(), heldBase_, inFrames_, channels_,
                     out.data() + std::size_t(o - outFrames_) * channels_);
    outFrames_ = until;
    // Input that no later output frame reaches is let go.
    const std::int64_t keepFrom = std::clamp(kernel.first(outFrames_), heldBase_, inFrames_);
    held_.erase(held_.begin(), held_.begin() + std::ptrdiff_t(std::size_t(keepFrom - heldBase_) * channels_));
    heldBase_ = keepFrom;
    return out;
}

} // namespace pavonia
