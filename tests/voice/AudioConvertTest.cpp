#include "voice/AudioConvert.h"

#include "VoiceTestSounds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace pavonia {
namespace {

// A capture arrives in pieces of uneven size; resampled piece by piece it
// must be the same sound, sample for sample, as the whole resampled at once:
// no frames dropped at the joins, no fading towards each piece's edges.
TEST(Resampler, PiecesGiveExactlyTheWholeResampled)
{
    struct Case {
        int from, to, channels;
    } cases[] = {{48000, 22050, 1}, {44100, 22050, 2}, {8000, 22050, 1}, {16000, 22050, 2}};
    const std::size_t pieces[] = {1, 7, 960, 1023, 3, 4410, 441};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " -> " + std::to_string(c.to) + " x" + std::to_string(c.channels));
        const PcmAudio whole = test::voicedBursts(1300, c.from, c.channels);
        Resampler resampler(c.from, c.to, c.channels);
        std::vector<std::int16_t> streamed;
        std::size_t at = 0;
        for (std::size_t n = 0; at < whole.frameCount(); ++n) {
            const std::size_t frames = std::min(pieces[n % std::size(pieces)], whole.frameCount() - at);
            const auto begin = whole.samples.begin() + std::ptrdiff_t(at * std::size_t(c.channels));
            const std::vector<std::int16_t> piece(begin, begin + std::ptrdiff_t(frames * std::size_t(c.channels)));
            const std::vector<std::int16_t> out = resampler.push(piece);
            streamed.insert(streamed.end(), out.begin(), out.end());
            at += frames;
        }
        const std::vector<std::int16_t> rest = resampler.finish();
        streamed.insert(streamed.end(), rest.begin(), rest.end());
        EXPECT_EQ(streamed, resample(whole, c.to).samples);
    }
}

} // namespace
} // namespace pavonia
