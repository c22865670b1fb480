#pragma once
// The sound card through Qt Multimedia: playback with a QAudioSink reading
// the block from memory, capture with a QAudioSource in push mode. A timer
// on the thread that owns the device (the user-interface thread) reads the
// captured bytes and the played position every 20 ms and calls the
// listener, so every notification of the voice engine arrives on that
// thread. Qt's audio backends run their own threads inside the sink and
// source; nothing of ours is shared with them.
//
// Formats: blocks are played in their own rate and channel count when the
// output takes them, otherwise converted to the output's preferred rate and
// channels; captures are made in the format asked for when the input takes
// it, otherwise in the input's preferred format and converted.
#include "voice/AudioConvert.h"
#include "voice/AudioDevice.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QBuffer>
#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <memory>
#include <optional>
#include <string>

class QAudioSink;
class QAudioSource;
class QIODevice;

namespace pavonia {

class QtAudioDevice final : public QObject, public AudioDevice {
    Q_OBJECT
public:
    // The device over the system's default output and input. Fails when the
    // system offers no sound device at all. A system with only one of them gives a device whose
    // other half fails to start with a message.
    static Result<std::unique_ptr<QtAudioDevice>> create();
    ~QtAudioDevice() override;

    void setListener(AudioDeviceListener* listener) override { listener_ = listener; }

    Result<> startPlayback(const PcmAudio& audio) override;
    void stopPlayback() override;
    bool isPlaying() const override { return playing_; }
    std::int64_t playbackPositionMs() const override;

    Result<> startCapture(const AudioFormat& format) override;
    void pauseCapture() override;
    void resumeCapture() override;
    void stopCapture() override;
    bool isCapturing() const override { return source_ != nullptr; }
    std::vector<std::int16_t> takeCaptured() override;

    // The recording input and its volume (0 to 1), used from the next
    // capture on (the volume at once); set by the recording device setup.
    const QAudioDevice& inputDevice() const { return input_; }
    void setInputDevice(const QAudioDevice& device) { input_ = device; }
    double inputVolume() const { return inputVolume_; }
    void setInputVolume(double volume);

private:
    QtAudioDevice(const QAudioDevice& output, const QAudioDevice& input);
    void tick();
    void readCaptured();
    void updateTimer();

    AudioDeviceListener* listener_ = nullptr;
    QAudioDevice output_;
    QAudioDevice input_;
    QTimer timer_;

    std::unique_ptr<QAudioSink> sink_;
    QByteArray playBytes_;
    QBuffer playBuffer_;
    QAudioFormat playFormat_;
    std::int64_t blockMs_ = 0;
    std::int64_t endPositionMs_ = 0; // the position once playback ended
    bool playing_ = false;

    std::unique_ptr<QAudioSource> source_;
    QIODevice* sourceIo_ = nullptr; // owned by source_
    QAudioFormat captureFormat_;    // what the input delivers
    AudioFormat wantedFormat_;      // what the caller asked for
    QByteArray captureRest_;        // a piece of a frame waiting for the rest
    std::optional<Resampler> resampler_; // capture rate to the rate asked for
    std::vector<std::int16_t> pending_;
    double inputVolume_ = 1.0;
};

} // namespace pavonia
