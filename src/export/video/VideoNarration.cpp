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

// `voice` as one channel of floats at `rate`.
std::vector<float> resampled(const PcmAudio& voice, int rate)
{
    std::vector<float> out;
    const int channels = std::clamp(voice.channels, 1, 2);
    if (voice.sampleRate <= 0 || voice.frameCount() == 0)
        return out;
    AVChannelLayout in{}, mono{};
    av_channel_layout_default(&in, channels);
    av_channel_layout_default(&mono, 1);
    SwrContext* converter = nullptr;
    if (swr_alloc_set_opts2(&converter, &mono, AV_SAMPLE_FMT_FLT, rate, &in, AV_SAMPLE_FMT_S16, voice.sampleRate,
                            0, nullptr) < 0 ||
        swr_init(converter) < 0) {
        swr_free(&converter);
        return out;
    }
    const int inFrames = static_cast<int>(voice.frameCount());
    out.resize(static_cast<std::size_t>(swr_get_out_samples(converter, inFrames)) + 64);
    const auto* source = reinterpret_cast<const uint8_t*>(voice.samples.data());
    auto* target = reinterpret_cast<uint8_t*>(out.data());
    int made = swr_convert(converter, &target, static_cast<int>(out.size()), &source, inFrames);
    if (made < 0)
        made = 0;
    // What the converter still holds.
    auto* rest = reinterpret_cast<uint8_t*>(out.data() + made);
    const int more = swr_convert(converter, &rest, static_cast<int>(out.size()) - made, nullptr, 0);
    out.resize(static_cast<std::size_t>(made + std::max(0, more)));
    swr_free(&converter);
    return out;
}

} // namespace

VideoNarration::VideoNarration(const VideoTimeline& timeline, std::string folder, int sampleRate)
    : timeline_(timeline), folder_(std::move(folder)), rate_(sampleRate)
{
}

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
    voice_.clear();
    voice_.shrink_to_fit();
    const VideoSession& s = timeline_.sessions()[index];
    voiceStart_ = s.startMs * rate_ / 1000;
    TalkingMessage message;
    if (!s.voice || s.talkingMessage.empty() || !readTps(folder_ + s.talkingMessage, message) || message.empty())
        return;
    voice_ = resampled(message.voice, rate_);
    // The session ends the voice: what lies beyond it is not played.
    const std::size_t room = static_cast<std::size_t>(s.durationMs * rate_ / 1000);
    if (voice_.size() > room)
        voice_.resize(room);
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
            if (at >= 0 && at < static_cast<std::int64_t>(voice_.size()))
                out[i + j] = voice_[static_cast<std::size_t>(at)];
        }
        i += n;
    }
    position_ += static_cast<std::int64_t>(count);
}

} // namespace pavonia
