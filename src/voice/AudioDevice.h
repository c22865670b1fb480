#pragma once
// The voice engine's view of the sound card: one output that plays a block of
// 16-bit samples and reports how much of it has been heard, and one input
// that captures 16-bit samples in the format asked for. The engine never
// touches a platform audio interface itself, so every rule of recording and
// playback runs in tests over a buffer device whose clock the test advances.
//
// Threads: every call, and every call back into the listener, happens on the
// user-interface thread. A device whose platform delivers sound on threads of
// its own hands the results over to that thread (see QtAudioDevice).
#include "platform/Result.h"
#include "voice/PcmAudio.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pavonia {

// 16-bit signed PCM, interleaved by channel.
struct AudioFormat {
    int sampleRate = 22050;
    int channels = 1;
    friend bool operator==(const AudioFormat&, const AudioFormat&) = default;
};

class AudioDeviceListener {
public:
    virtual ~AudioDeviceListener() = default;
    // Called every few milliseconds while the device plays or captures, and
    // once more when playback has reached the end of its block. The listener
    // reads the positions and takes the captured samples from here.
    virtual void audioTick() = 0;
};

class AudioDevice {
public:
    virtual ~AudioDevice() = default;

    virtual void setListener(AudioDeviceListener* listener) = 0;

    // Starts playing `audio` from its first sample; the device keeps its own
    // copy. A playback already running is stopped first. Fails with the
    // reason for the user when the output cannot start.
    virtual Result<> startPlayback(const PcmAudio& audio) = 0;
    virtual void stopPlayback() = 0;
    // True from a successful start until the end of the block has been heard
    // or playback was stopped.
    virtual bool isPlaying() const = 0;
    // How much of the block has been heard, in milliseconds.
    virtual std::int64_t playbackPositionMs() const = 0;

    // Starts capturing in `format`. A capture already running is stopped and
    // its samples dropped. Fails with the reason when the input cannot start.
    virtual Result<> startCapture(const AudioFormat& format) = 0;
    // While paused nothing is captured; the samples taken so far are kept.
    virtual void pauseCapture() = 0;
    virtual void resumeCapture() = 0;
    // Ends the capture; samples not yet taken stay available to takeCaptured().
    virtual void stopCapture() = 0;
    virtual bool isCapturing() const = 0;
    // The samples captured since the last call (interleaved, in the format of
    // the capture), and forgets them.
    virtual std::vector<std::int16_t> takeCaptured() = 0;
};

} // namespace pavonia
