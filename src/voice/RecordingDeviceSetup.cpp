#include "voice/RecordingDeviceSetup.h"

#include "platform/StringTable.h"

#include <algorithm>
#include <array>

namespace pavonia {

namespace {

// The formats tried, in order: 16-bit PCM at the rates a voice needs, mono first.
constexpr std::array<std::pair<int, int>, 6> kFormatOrder{{
    {22050, 1}, {11025, 1}, {44100, 1}, {22050, 2}, {11025, 2}, {44100, 2}}};

} // namespace

RecordingDeviceSetup::RecordingDeviceSetup(InputDevicePlatform& platform, Ui& ui) : platform_(platform), ui_(ui) {}

RecordingDeviceSetup::~RecordingDeviceSetup() { close(); }

std::optional<WaveInFormat> RecordingDeviceSetup::chooseFormat(const std::vector<DeviceFormat>& supported)
{
    for (const auto& [rate, channels] : kFormatOrder)
        if (std::find(supported.begin(), supported.end(), DeviceFormat{rate, channels, 16}) != supported.end())
            return WaveInFormat{rate, channels, 16, rate * channels * 2, channels * 2};
    return std::nullopt;
}

int RecordingDeviceSetup::sliderMaximumFor(std::uint32_t steps)
{
    if (steps <= 1)
        return 0;
    return int(std::min<std::uint32_t>(steps - 1, kSliderLimit));
}

int RecordingDeviceSetup::pageSize() const { return std::max(1, sliderMaximum_ / 5); }

void RecordingDeviceSetup::open()
{
    ViewChange change(*this);
    inputListEnabled_ = sliderEnabled_ = true;
    if (!openWaveIn()) {
        inputListEnabled_ = false;
        sliderEnabled_ = false;
    }
    setUpMixer();
}

bool RecordingDeviceSetup::openWaveIn()
{
    if (waveInOpen_) {
        platform_.closeWaveIn();
        waveInOpen_ = false;
    }
    format_.reset();
    const auto capabilities = platform_.queryCapabilities();
    if (!capabilities) {
        showMessage(ui_, StringTable::text(str::DeviceQueryFailed));
        return false;
    }
    const auto format = chooseFormat(*capabilities);
    if (!format) {
        showMessage(ui_, StringTable::text(str::DeviceUnsupported));
        return false;
    }
    if (!platform_.openWaveIn(*format)) {
        showMessage(ui_, StringTable::text(str::DeviceOpenFailed));
        return false;
    }
    format_ = format;
    waveInOpen_ = true;
    return true;
}

void RecordingDeviceSetup::setUpMixer()
{
    if (mixerOpen_)
        platform_.closeMixer();
    mixerOpen_ = false;
    selector_.reset();
    volume_.reset();
    if (!platform_.openMixer()) {
        failMixer(str::MixerOpenFailed);
        return;
    }
    mixerOpen_ = true;
    inputs_.clear();
    selectedInput_ = -1;
    if (!waveInOpen_) {
        failMixer(str::MixerNoWaveInDevice);
        return;
    }
    int controlCount = 0;
    switch (platform_.findWaveInLine(controlCount)) {
    case LineQuery::Failed:
        return;
    case LineQuery::NotFound:
        failMixer(str::MixerNoWaveIn);
        return;
    case LineQuery::Found:
        break;
    }
    if (controlCount <= 0) {
        failMixer(str::MixerNoControl);
        return;
    }
    const auto controls = platform_.waveInControls();
    if (!controls || controls->empty())
        return;
    const auto selector = std::find_if(controls->begin(), controls->end(),
                                       [](const MixerControl& c) { return c.type == MixerControl::Type::Selector; });
    if (selector == controls->end())
        return;
    const auto names = platform_.selectorNames(*selector);
    if (!names) {
        failMixer(str::MixerTextError);
        return;
    }
    const auto values = platform_.selectorValues(*selector);
    if (!values) {
        failMixer(str::MixerValueError);
        return;
    }
    selector_ = *selector;
    inputs_ = *names;
    for (std::size_t i = 0; i < values->size() && i < inputs_.size(); ++i)
        if ((*values)[i]) {
            selectedInput_ = int(i);
            setUpVolume(int(i));
        }
}

void RecordingDeviceSetup::failMixer(int textId)
{
    showMessage(ui_, StringTable::text(textId));
    if (mixerOpen_)
        platform_.closeMixer();
    mixerOpen_ = false;
    selector_.reset();
    volume_.reset();
    inputs_.clear();
    selectedInput_ = -1;
    disableAll();
}

void RecordingDeviceSetup::disableAll()
{
    inputListEnabled_ = false;
    sliderEnabled_ = false;
}

void RecordingDeviceSetup::setUpVolume(int item)
{
    volume_ = platform_.sourceVolume(item);
    if (!volume_) {
        sliderEnabled_ = false;
        return;
    }
    const auto values = platform_.volumeValues(*volume_);
    if (!values || values->empty()) {
        volume_.reset();
        sliderEnabled_ = false;
        return;
    }
    sliderEnabled_ = true;
    sliderMaximum_ = sliderMaximumFor(volume_->steps);
    const std::uint64_t span = volume_->maximum > volume_->minimum ? volume_->maximum - volume_->minimum : 0;
    const std::uint32_t first = std::clamp(values->front(), volume_->minimum, std::max(volume_->minimum, volume_->maximum));
    sliderPosition_ = span ? int(std::uint64_t(first - volume_->minimum) * std::uint64_t(sliderMaximum_) / span) : 0;
}

void RecordingDeviceSetup::selectInput(int index)
{
    ViewChange change(*this);
    if (!selector_ || index < 0 || index >= int(inputs_.size()))
        return;
    std::vector<bool> values(inputs_.size(), false);
    values[std::size_t(index)] = true;
    platform_.setSelectorValues(*selector_, values);
    selectedInput_ = index;
    setUpVolume(index);
}

void RecordingDeviceSetup::moveSlider(SliderAction action, int thumb)
{
    ViewChange change(*this);
    if (!volume_ || !sliderEnabled_)
        return;
    int position = sliderPosition_;
    switch (action) {
    case SliderAction::LineUp: position -= lineSize(); break;
    case SliderAction::LineDown: position += lineSize(); break;
    case SliderAction::PageUp: position -= pageSize(); break;
    case SliderAction::PageDown: position += pageSize(); break;
    case SliderAction::Home: position = 0; break;
    case SliderAction::End: position = sliderMaximum_; break;
    case SliderAction::Drag: position = thumb; break;
    }
    sliderPosition_ = std::clamp(position, 0, sliderMaximum_);
    writeVolume();
}

void RecordingDeviceSetup::writeVolume()
{
    const VolumeControl& v = *volume_;
    const std::uint64_t span = v.maximum > v.minimum ? v.maximum - v.minimum : 0;
    const std::uint32_t value =
        sliderMaximum_ > 0 ? v.minimum + std::uint32_t(span * std::uint64_t(sliderPosition_) / std::uint64_t(sliderMaximum_))
                           : v.minimum;
    const std::size_t count = std::size_t(std::max(v.channels, 1)) * std::size_t(std::max(v.items, 1));
    platform_.setVolumeValues(v, std::vector<std::uint32_t>(count, value));
}

void RecordingDeviceSetup::close()
{
    if (waveInOpen_)
        platform_.closeWaveIn();
    waveInOpen_ = false;
    if (mixerOpen_)
        platform_.closeMixer();
    mixerOpen_ = false;
    selector_.reset();
    volume_.reset();
}

} // namespace pavonia
