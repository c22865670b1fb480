#pragma once
// Sound as the voice engine holds it: 16-bit signed samples, interleaved by
// channel, at one sample rate. Times are milliseconds.
#include <cstdint>
#include <vector>

namespace pavonia {

struct PcmAudio {
    int sampleRate = 22050;
    int channels = 1;
    std::vector<int16_t> samples; // interleaved: frame f, channel c at f * channels + c

    std::size_t frameCount() const { return channels > 0 ? samples.size() / channels : 0; }
    int64_t lengthMs() const
    {
        return sampleRate > 0 ? int64_t(frameCount()) * 1000 / sampleRate : 0;
    }
    // The sample frame at a time, clamped to the sound.
    std::size_t frameAt(int64_t ms) const
    {
        if (ms <= 0 || sampleRate <= 0)
            return 0;
        std::size_t f = std::size_t(ms * sampleRate / 1000);
        return f < frameCount() ? f : frameCount();
    }
    bool empty() const { return samples.empty(); }
};

} // namespace pavonia
