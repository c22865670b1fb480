#pragma once
// The platform's recording inputs through Qt Multimedia, for the recording
// device setup. Qt offers no mixer: the "inputs" are the system's recording
// devices (microphone, line in, headset, ...), the selector picks the one
// recordings use, and the volume is the recording volume Qt applies to the
// captured sound (one channel, 0 to 65535). Both choices go to the
// QtAudioDevice that records; neither is stored in a settings file.
#include "voice/InputDevicePlatform.h"

#include <QAudioDevice>
#include <QList>

namespace pavonia {

class QtAudioDevice;

class QtInputDevices final : public InputDevicePlatform {
public:
    static constexpr std::uint32_t kVolumeSteps = 65536;

    // `recorder` receives the chosen input and volume; without one (no
    // sound device could be opened) the inputs report no device.
    explicit QtInputDevices(QtAudioDevice* recorder);

    std::optional<std::vector<DeviceFormat>> queryCapabilities() override;
    bool openWaveIn(const WaveInFormat& format) override;
    void closeWaveIn() override { waveInOpen_ = false; }
    bool openMixer() override;
    void closeMixer() override { mixerOpen_ = false; }
    LineQuery findWaveInLine(int& controlCount) override;
    std::optional<std::vector<MixerControl>> waveInControls() override;
    std::optional<std::vector<std::string>> selectorNames(const MixerControl& selector) override;
    std::optional<std::vector<bool>> selectorValues(const MixerControl& selector) override;
    bool setSelectorValues(const MixerControl& selector, const std::vector<bool>& values) override;
    std::optional<VolumeControl> sourceVolume(int item) override;
    std::optional<std::vector<std::uint32_t>> volumeValues(const VolumeControl& control) override;
    bool setVolumeValues(const VolumeControl& control, const std::vector<std::uint32_t>& values) override;

private:
    QAudioDevice currentInput() const;

    QtAudioDevice* recorder_;
    QList<QAudioDevice> inputs_;
    bool waveInOpen_ = false;
    bool mixerOpen_ = false;
};

} // namespace pavonia
