#include "export/video/VideoNarration.h"

#include "voice/TpsFile.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>

namespace pavonia {

namespace {

constexpr int kBlockFrames = 8192;

// A converter from `voice`'s samples to one channel of floats at `rate`.
SwrContext* resamplerFor(const PcmAudio& voice, int rate)
{
    AVChannelLayout in{}, mono{};
    av_channel_layout_default(&in, std::clamp(voice.channels, 1, 2));
    av_channel_layout_default(&mono, 1);
    SwrContext* converter = nullptr;
    if (swr_alloc_set_opts2(&converter, &mono, AV_SAMPLE_FMT_FLT, rate, &in, AV_SAMPLE_FMT_S16, voice.sampleRate,
                            0, nullptr) < 0 ||
        swr_init(converter) < 0)
        swr_free(&converter);
    return converter;
}

} // namespace

VideoNarration::VideoNarration(const VideoTimeline& timeline, std::string folder, int sampleRate)
    : timeline_(timeline), folder_(std::move(folder)), rate_(sampleRate)
{
}

VideoNarration::~VideoNarration() { swr_free(&resampler_); }

std::vector<LipSyncFrame> VideoNarration::framesOf(int index) const
{
    const VideoSession& s = timeline_.sessions()[index];
    TalkingMessage message;
    if (!s.voice || s.talkingMessage.empty() || !readTps(folder_ + s.talkingMessage, message) || message.empty())
        return {};
    return std::move(message.frames);
}

void VideoNarration::load(int index)
{
    loaded_ = index;
    swr_free(&resampler_);
    voice_ = {};
    consumed_ = 0;
    resampled_ = {};
    resampledStart_ = 0;
    const VideoSession& s = timeline_.sessions()[index];
    voiceStart_ = s.startMs * rate_ / 1000;
    // The session ends the voice: what lies beyond it is not played.
    voiceEnd_ = s.durationMs * rate_ / 1000;
    TalkingMessage message;
    if (!s.voice || s.talkingMessage.empty() || !readTps(folder_ + s.talkingMessage, message) || message.empty() ||
        message.voice.sampleRate <= 0)
        return;
    voice_ = std::move(message.voice);
    resampler_ = resamplerFor(voice_, rate_);
}

bool VideoNarration::resampleMore(std::int64_t keepFrom)
{
    if (!resampler_)
        return false;
    const std::int64_t drop = std::clamp<std::int64_t>(keepFrom - resampledStart_, 0,
                                                       static_cast<std::int64_t>(resampled_.size()));
    resampled_.erase(resampled_.begin(), resampled_.begin() + drop);
    resampledStart_ += drop;
    const int channels = std::clamp(voice_.channels, 1, 2);
    const int frames = static_cast<int>(std::min<std::size_t>(kBlockFrames, voice_.frameCount() - consumed_));
    const auto* source = reinterpret_cast<const uint8_t*>(voice_.samples.data() + consumed_ * channels);
    const std::size_t had = resampled_.size();
    resampled_.resize(had + static_cast<std::size_t>(swr_get_out_samples(resampler_, frames)) + 16);
    auto* target = reinterpret_cast<uint8_t*>(resampled_.data() + had);
    // Once the voice is used up, what the converter still holds.
    const int made = swr_convert(resampler_, &target, static_cast<int>(resampled_.size() - had),
                                 frames > 0 ? &source : nullptr, frames);
    resampled_.resize(had + static_cast<std::size_t>(std::max(0, made)));
    consumed_ += static_cast<std::size_t>(frames);
    if (frames == 0 && made <= 0) {
        swr_free(&resampler_);
        return false;
    }
    return true;
}

void VideoNarration::read(float* out, std::size_t count)
{
    std::fill(out, out + count, 0.0f);
    const auto& sessions = timeline_.sessions();
    std::size_t i = 0;
    while (i < count && !sessions.empty()) {
        const std::int64_t sample = position_ + static_cast<std::int64_t>(i);
        const int session = timeline_.sessionAt(sample * 1000 / rate_);
        const VideoSession& s = sessions[session];
        // Up to the session's end, at least one sample.
        const std::int64_t end = (s.startMs + s.durationMs) * rate_ / 1000;
        const std::size_t n = std::clamp<std::size_t>(end > sample ? static_cast<std::size_t>(end - sample) : 1, 1,
                                                      count - i);
        if (session != loaded_)
            load(session);
        for (std::size_t j = 0; j < n; ++j) {
            const std::int64_t at = sample + static_cast<std::int64_t>(j) - voiceStart_;
            if (at < 0 || at >= voiceEnd_)
                continue;
            while (at >= resampledStart_ + static_cast<std::int64_t>(resampled_.size()) && resampleMore(at)) {
            }
            if (at >= resampledStart_ && at < resampledStart_ + static_cast<std::int64_t>(resampled_.size()))
                out[i + j] = resampled_[static_cast<std::size_t>(at - resampledStart_)];
        }
        i += n;
    }
    position_ += static_cast<std::int64_t>(count);
}

} // namespace pavonia
