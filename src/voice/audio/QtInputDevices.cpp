#include "voice/audio/QtInputDevices.h"

#include "voice/audio/QtAudioDevice.h"

#include <QAudioFormat>
#include <QMediaDevices>

#include <cmath>

namespace pavonia {

namespace {

constexpr int kSelectorId = 1;
constexpr int kVolumeId = 2;

// The rates and channel counts the recording device setup tries.
constexpr int kRates[] = {11025, 22050, 44100};

} // namespace

QtInputDevices::QtInputDevices(QtAudioDevice* recorder) : recorder_(recorder) {}

QAudioDevice QtInputDevices::currentInput() const { return recorder_ ? recorder_->inputDevice() : QAudioDevice(); }

std::optional<std::vector<DeviceFormat>> QtInputDevices::queryCapabilities()
{
    const QAudioDevice device = currentInput();
    if (device.isNull())
        return std::nullopt;
    std::vector<DeviceFormat> formats;
    for (int channels = 1; channels <= 2; ++channels)
        for (int rate : kRates)
            for (auto [sample, bits] : {std::pair{QAudioFormat::UInt8, 8}, std::pair{QAudioFormat::Int16, 16}}) {
                QAudioFormat format;
                format.setSampleRate(rate);
                format.setChannelCount(channels);
                format.setSampleFormat(sample);
                if (device.isFormatSupported(format))
                    formats.push_back({rate, channels, bits});
            }
    return formats;
}

bool QtInputDevices::openWaveIn(const WaveInFormat& format)
{
    const QAudioDevice device = currentInput();
    QAudioFormat wanted;
    wanted.setSampleRate(format.sampleRate);
    wanted.setChannelCount(format.channels);
    wanted.setSampleFormat(format.bitsPerSample == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
    waveInOpen_ = !device.isNull() && device.isFormatSupported(wanted);
    return waveInOpen_;
}

bool QtInputDevices::openMixer()
{
    inputs_ = recorder_ ? QMediaDevices::audioInputs() : QList<QAudioDevice>();
    mixerOpen_ = !inputs_.isEmpty();
    return mixerOpen_;
}

LineQuery QtInputDevices::findWaveInLine(int& controlCount)
{
    controlCount = 0;
    if (!mixerOpen_)
        return LineQuery::Failed;
    controlCount = 2;
    return LineQuery::Found;
}

std::optional<std::vector<MixerControl>> QtInputDevices::waveInControls()
{
    if (!mixerOpen_)
        return std::nullopt;
    return std::vector<MixerControl>{{MixerControl::Type::Selector, kSelectorId, int(inputs_.size())},
                                     {MixerControl::Type::Volume, kVolumeId, 1}};
}

std::optional<std::vector<std::string>> QtInputDevices::selectorNames(const MixerControl&)
{
    std::vector<std::string> names;
    for (const QAudioDevice& device : inputs_)
        names.push_back(device.description().toStdString());
    return names;
}

std::optional<std::vector<bool>> QtInputDevices::selectorValues(const MixerControl&)
{
    std::vector<bool> values;
    for (const QAudioDevice& device : inputs_)
        values.push_back(device.id() == currentInput().id());
    return values;
}

bool QtInputDevices::setSelectorValues(const MixerControl&, const std::vector<bool>& values)
{
    for (std::size_t i = 0; i < values.size() && i < std::size_t(inputs_.size()); ++i)
        if (values[i] && recorder_) {
            recorder_->setInputDevice(inputs_[qsizetype(i)]);
            return true;
        }
    return false;
}

std::optional<VolumeControl> QtInputDevices::sourceVolume(int item)
{
    if (item < 0 || item >= inputs_.size())
        return std::nullopt;
    return VolumeControl{kVolumeId, 1, 1, 0, kVolumeSteps - 1, kVolumeSteps};
}

std::optional<std::vector<std::uint32_t>> QtInputDevices::volumeValues(const VolumeControl&)
{
    if (!recorder_)
        return std::nullopt;
    return std::vector<std::uint32_t>{std::uint32_t(std::lround(recorder_->inputVolume() * (kVolumeSteps - 1)))};
}

bool QtInputDevices::setVolumeValues(const VolumeControl&, const std::vector<std::uint32_t>& values)
{
    if (values.empty() || !recorder_)
        return false;
    recorder_->setInputVolume(double(values.front()) / double(kVolumeSteps - 1));
    return true;
}

} // namespace pavonia
