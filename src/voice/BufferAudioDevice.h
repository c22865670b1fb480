#pragma once
// An audio device over memory buffers with a clock the owner advances: what
// it "plays" is appended to a buffer that can be inspected, and what it
// "captures" is read from an input buffer set beforehand (silence once that
// runs out). Each advance() moves both by the same time and then calls the
// listener once, just as a sound card's timer would. Used by the tests, and
// by any tool that must run the voice engine without a sound card.
#include "voice/AudioDevice.h"

#include <optional>

namespace pavonia {

class BufferAudioDevice final : public AudioDevice {
public:
    void setListener(AudioDeviceListener* listener) override { listener_ = listener; }

    Result<> startPlayback(const PcmAudio& audio) override;
    void stopPlayback() override;
    bool isPlaying() const override { return playing_; }
    std::int64_t playbackPositionMs() const override;

    Result<> startCapture(const AudioFormat& format) override;
    void pauseCapture() override { capturePaused_ = true; }
    void resumeCapture() override { capturePaused_ = false; }
    void stopCapture() override { capturing_ = false; }
    bool isCapturing() const override { return capturing_; }
    std::vector<std::int16_t> takeCaptured() override;

    // Moves the clock by `ms`: playback and capture advance, then the
    // listener is called once (also when nothing runs).
    void advance(std::int64_t ms);

    // The sound the next capture reads, from its start.
    void setInput(PcmAudio input) { input_ = std::move(input); }
    // Makes the next starts fail with this message (until cleared with nullopt).
    void failPlayback(std::optional<Failure> failure) { playbackFailure_ = std::move(failure); }
    void failCapture(std::optional<Failure> failure) { captureFailure_ = std::move(failure); }

    // Everything played so far, across playbacks, in the format of the last block.
    const PcmAudio& played() const { return played_; }
    void clearPlayed() { played_.samples.clear(); }
    std::int64_t now() const { return nowMs_; }

private:
    AudioDeviceListener* listener_ = nullptr;
    std::int64_t nowMs_ = 0;

    PcmAudio block_;
    bool playing_ = false;
    std::int64_t playedMs_ = 0;
    std::size_t playedFrames_ = 0;
    PcmAudio played_;
    std::optional<Failure> playbackFailure_;

    AudioFormat captureFormat_;
    bool capturing_ = false;
    bool capturePaused_ = false;
    std::int64_t capturedMs_ = 0;     // capture time while not paused
    std::size_t capturedFrames_ = 0;  // frames produced so far
    std::vector<std::int16_t> pending_;
    PcmAudio input_;
    std::optional<Failure> captureFailure_;
};

} // namespace pavonia
