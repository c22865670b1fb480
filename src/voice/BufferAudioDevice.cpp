#include "voice/BufferAudioDevice.h"

#include <algorithm>

namespace pavonia {

Result<> BufferAudioDevice::startPlayback(const PcmAudio& audio)
{
    stopPlayback();
    if (playbackFailure_)
        return *playbackFailure_;
    block_ = audio;
    played_.sampleRate = audio.sampleRate;
    played_.channels = audio.channels;
    playedMs_ = 0;
    playedFrames_ = 0;
    playing_ = true;
    return {};
}

void BufferAudioDevice::stopPlayback() { playing_ = false; }

std::int64_t BufferAudioDevice::playbackPositionMs() const
{
    return std::min(playedMs_, block_.lengthMs());
}

Result<> BufferAudioDevice::startCapture(const AudioFormat& format)
{
    capturing_ = false;
    pending_.clear();
    if (captureFailure_)
        return *captureFailure_;
    captureFormat_ = format;
    capturing_ = true;
    capturePaused_ = false;
    capturedMs_ = 0;
    capturedFrames_ = 0;
    return {};
}

std::vector<std::int16_t> BufferAudioDevice::takeCaptured()
{
    std::vector<std::int16_t> out;
    out.swap(pending_);
    return out;
}

void BufferAudioDevice::advance(std::int64_t ms)
{
    if (ms < 0)
        ms = 0;
    nowMs_ += ms;

    if (playing_) {
        playedMs_ += ms;
        // Frames heard by now; the block's end stops playback.
        const std::size_t target = std::min(block_.frameCount(),
            std::size_t(playedMs_ * block_.sampleRate / 1000));
        const std::size_t channels = std::size_t(std::max(block_.channels, 1));
        played_.samples.insert(played_.samples.end(), block_.samples.begin() + long(playedFrames_ * channels),
                               block_.samples.begin() + long(target * channels));
        playedFrames_ = target;
        if (playedMs_ >= block_.lengthMs())
            playing_ = false;
    }

    if (capturing_ && !capturePaused_) {
        capturedMs_ += ms;
        const std::size_t target = std::size_t(capturedMs_ * captureFormat_.sampleRate / 1000);
        const std::size_t channels = std::size_t(std::max(captureFormat_.channels, 1));
        for (std::size_t f = capturedFrames_; f < target; ++f)
            for (std::size_t c = 0; c < channels; ++c) {
                // The input is read in its own layout; a mono input feeds every channel.
                std::int16_t sample = 0;
                if (input_.channels > 0 && f < input_.frameCount())
                    sample = input_.samples[f * std::size_t(input_.channels) +
                                            std::min<std::size_t>(c, std::size_t(input_.channels) - 1)];
                pending_.push_back(sample);
            }
        capturedFrames_ = target;
    }

    if (listener_)
        listener_->audioTick();
}

} // namespace pavonia
