#include "voice/audio/QtAudioDevice.h"

#include "platform/StringTable.h"
#include "voice/AudioConvert.h"

#include <QAudioSink>
#include <QAudioSource>
#include <QMediaDevices>

#include <algorithm>
#include <cstring>

namespace pavonia {

namespace {

constexpr int kTickMs = 20;

QAudioFormat pcm16(int rate, int channels)
{
    QAudioFormat format;
    format.setSampleRate(rate);
    format.setChannelCount(channels);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

// The format to use on `device` for sound of `wanted`: itself when the
// device takes it, else the device's preferred rate and channels (1 or 2).
QAudioFormat usableFormat(const QAudioDevice& device, const QAudioFormat& wanted)
{
    if (device.isFormatSupported(wanted))
        return wanted;
    const QAudioFormat preferred = device.preferredFormat();
    return pcm16(preferred.sampleRate() > 0 ? preferred.sampleRate() : wanted.sampleRate(),
                 std::clamp(preferred.channelCount(), 1, 2));
}

PcmAudio withChannels(PcmAudio audio, int channels)
{
    if (audio.channels == 2 && channels == 1)
        audio = mixToMono(audio);
    else if (audio.channels == 1 && channels == 2) {
        PcmAudio stereo;
        stereo.sampleRate = audio.sampleRate;
        stereo.channels = 2;
        stereo.samples.reserve(audio.samples.size() * 2);
        for (std::int16_t s : audio.samples) {
            stereo.samples.push_back(s);
            stereo.samples.push_back(s);
        }
        audio = std::move(stereo);
    }
    return audio;
}

PcmAudio convert(PcmAudio audio, int rate, int channels)
{
    audio = withChannels(std::move(audio), channels);
    if (audio.sampleRate != rate)
        audio = resample(audio, rate);
    return audio;
}

std::string errorText(QAudio::Error error)
{
    switch (error) {
    case QAudio::OpenError: return "the device could not be opened";
    case QAudio::IOError: return "the device could not be read or written";
    case QAudio::UnderrunError: return "the device ran out of data";
    case QAudio::FatalError: return "the device is not usable";
    case QAudio::NoError: break;
    }
    return {};
}

} // namespace

Result<std::unique_ptr<QtAudioDevice>> QtAudioDevice::create()
{
    const QAudioDevice output = QMediaDevices::defaultAudioOutput();
    const QAudioDevice input = QMediaDevices::defaultAudioInput();
    if (output.isNull() && input.isNull())
        return Failure(str::AudioNoDevice);
    return std::unique_ptr<QtAudioDevice>(new QtAudioDevice(output, input));
}

QtAudioDevice::QtAudioDevice(const QAudioDevice& output, const QAudioDevice& input) : output_(output), input_(input)
{
    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, &QtAudioDevice::tick);
}

QtAudioDevice::~QtAudioDevice()
{
    listener_ = nullptr;
    stopPlayback();
    stopCapture();
}

void QtAudioDevice::updateTimer()
{
    if (playing_ || source_) {
        if (!timer_.isActive())
            timer_.start();
    } else {
        timer_.stop();
    }
}

Result<> QtAudioDevice::startPlayback(const PcmAudio& audio)
{
    stopPlayback();
    if (output_.isNull())
        return Failure(str::AudioNoOutput);
    playFormat_ = usableFormat(output_, pcm16(audio.sampleRate, audio.channels));
    const PcmAudio block = convert(audio, playFormat_.sampleRate(), playFormat_.channelCount());
    blockMs_ = audio.lengthMs();
    playBytes_ = QByteArray(reinterpret_cast<const char*>(block.samples.data()),
                            qsizetype(block.samples.size() * sizeof(std::int16_t)));
    playBuffer_.close();
    playBuffer_.setData(playBytes_);
    playBuffer_.open(QIODevice::ReadOnly);

    sink_ = std::make_unique<QAudioSink>(output_, playFormat_);
    sink_->start(&playBuffer_);
    if (sink_->error() != QAudio::NoError) {
        Failure failure(str::AudioOutputError, {errorText(sink_->error())});
        sink_.reset();
        return failure;
    }
    playing_ = true;
    endPositionMs_ = 0;
    updateTimer();
    return {};
}

void QtAudioDevice::stopPlayback()
{
    if (playing_)
        endPositionMs_ = playbackPositionMs();
    if (sink_) {
        sink_->stop();
        sink_.reset();
    }
    playBuffer_.close();
    playing_ = false;
    updateTimer();
}

std::int64_t QtAudioDevice::playbackPositionMs() const
{
    if (!playing_ || !sink_)
        return endPositionMs_;
    // What the sink has taken, less what still waits in its buffer.
    const std::int64_t processed = sink_->processedUSecs() / 1000;
    const std::int64_t queued = playFormat_.durationForBytes(sink_->bufferSize() - sink_->bytesFree()) / 1000;
    return std::clamp<std::int64_t>(processed - queued, 0, blockMs_);
}

Result<> QtAudioDevice::startCapture(const AudioFormat& format)
{
    stopCapture();
    pending_.clear();
    if (input_.isNull())
        return Failure(str::AudioNoInput);
    wantedFormat_ = format;
    captureFormat_ = usableFormat(input_, pcm16(format.sampleRate, format.channels));
    captureRest_.clear();
    resampler_.emplace(captureFormat_.sampleRate(), format.sampleRate, format.channels);
    source_ = std::make_unique<QAudioSource>(input_, captureFormat_);
    source_->setVolume(inputVolume_);
    sourceIo_ = source_->start();
    if (!sourceIo_ || source_->error() != QAudio::NoError) {
        Failure failure(str::AudioInputError, {errorText(source_->error())});
        source_.reset();
        sourceIo_ = nullptr;
        return failure;
    }
    updateTimer();
    return {};
}

void QtAudioDevice::pauseCapture()
{
    if (!source_)
        return;
    readCaptured();
    source_->suspend();
}

void QtAudioDevice::resumeCapture()
{
    if (source_) {
        // Whatever arrived while suspended is not part of the recording, nor
        // is a piece of a frame from before the pause.
        if (sourceIo_)
            sourceIo_->readAll();
        captureRest_.clear();
        source_->resume();
    }
}

void QtAudioDevice::stopCapture()
{
    if (!source_)
        return;
    if (source_->state() != QAudio::SuspendedState)
        readCaptured();
    const std::vector<std::int16_t> rest = resampler_->finish();
    pending_.insert(pending_.end(), rest.begin(), rest.end());
    captureRest_.clear();
    source_->stop();
    source_.reset();
    sourceIo_ = nullptr;
    updateTimer();
}

void QtAudioDevice::readCaptured()
{
    if (!sourceIo_)
        return;
    // The input may hand over a piece of a frame; it waits for the rest, so
    // the samples never slip out of step.
    captureRest_ += sourceIo_->readAll();
    const auto frameBytes = qsizetype(sizeof(std::int16_t)) * captureFormat_.channelCount();
    const qsizetype whole = captureRest_.size() - captureRest_.size() % frameBytes;
    if (whole == 0)
        return;
    PcmAudio chunk;
    chunk.sampleRate = captureFormat_.sampleRate();
    chunk.channels = captureFormat_.channelCount();
    chunk.samples.resize(std::size_t(whole) / sizeof(std::int16_t));
    std::memcpy(chunk.samples.data(), captureRest_.constData(), std::size_t(whole));
    captureRest_.remove(0, whole);
    // One resampler for the whole capture: resampling each piece on its own
    // would drop frames at every join and fade the sound towards its edges.
    chunk = withChannels(std::move(chunk), wantedFormat_.channels);
    const std::vector<std::int16_t> out = resampler_->push(chunk.samples);
    pending_.insert(pending_.end(), out.begin(), out.end());
}

std::vector<std::int16_t> QtAudioDevice::takeCaptured()
{
    std::vector<std::int16_t> out;
    out.swap(pending_);
    return out;
}

void QtAudioDevice::setInputVolume(double volume)
{
    inputVolume_ = std::clamp(volume, 0.0, 1.0);
    if (source_)
        source_->setVolume(inputVolume_);
}

void QtAudioDevice::tick()
{
    if (source_ && source_->state() != QAudio::SuspendedState)
        readCaptured();
    if (playing_ && sink_) {
        // The block has been heard once the sink has nothing left to play.
        const bool drained = playBuffer_.atEnd() && sink_->state() == QAudio::IdleState;
        const bool failed = sink_->state() == QAudio::StoppedState || sink_->error() == QAudio::FatalError ||
                            sink_->error() == QAudio::OpenError;
        if (drained || failed) {
            endPositionMs_ = drained ? blockMs_ : playbackPositionMs();
            playing_ = false;
            sink_->stop();
        }
    }
    updateTimer();
    if (listener_)
        listener_->audioTick();
}

} // namespace pavonia
