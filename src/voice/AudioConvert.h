#pragma once
// Sound conversions the exporter and imports need: mixing down to mono and
// changing the sample rate (band-limited, so a lower rate does not alias).
#include "voice/PcmAudio.h"

#include <cstdint>
#include <vector>

namespace pavonia {

PcmAudio mixToMono(const PcmAudio& audio);
// `rate` must be positive; the same rate gives a copy.
PcmAudio resample(const PcmAudio& audio, int rate);

// Changes the sample rate of sound that arrives in pieces, as a capture
// delivers it: the pieces together give exactly the samples of one
// resample() of the whole sound, with nothing lost, repeated or faded at the
// joins. Both rates must be positive.
class Resampler {
public:
    Resampler(int fromRate, int toRate, int channels);
    // Takes the next samples (interleaved, whole frames) and returns the
    // output samples that need no later input.
    std::vector<std::int16_t> push(const std::vector<std::int16_t>& samples);
    // The sound has ended: the output samples still owed.
    std::vector<std::int16_t> finish();

private:
    std::vector<std::int16_t> produce(bool final);

    int fromRate_;
    int toRate_;
    std::size_t channels_;
    std::vector<std::int16_t> held_; // input frames from heldBase_ on
    std::int64_t heldBase_ = 0;
    std::int64_t inFrames_ = 0;  // input frames taken so far
    std::int64_t outFrames_ = 0; // output frames given so far
};

} // namespace pavonia
