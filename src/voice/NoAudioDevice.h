#pragma once
// The sound card of a machine where none could be opened: every start of
// playback or capture fails with the reason it was given, so the voice page
// still loads and each attempt to play or record says why it cannot start.
#include "voice/AudioDevice.h"

#include <utility>

namespace pavonia {

class NoAudioDevice final : public AudioDevice {
public:
    explicit NoAudioDevice(Failure why) : why_(std::move(why)) {}

    const Failure& why() const { return why_; }

    void setListener(AudioDeviceListener*) override {}
    Result<> startPlayback(const PcmAudio&) override { return why_; }
    void stopPlayback() override {}
    bool isPlaying() const override { return false; }
    std::int64_t playbackPositionMs() const override { return 0; }
    Result<> startCapture(const AudioFormat&) override { return why_; }
    void pauseCapture() override {}
    void resumeCapture() override {}
    void stopCapture() override {}
    bool isCapturing() const override { return false; }
    std::vector<std::int16_t> takeCaptured() override { return {}; }

private:
    Failure why_;
};

} // namespace pavonia
