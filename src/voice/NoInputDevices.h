#pragma once
// The recording inputs of a machine that has none: every query fails, so the
// recording device setup reports it and leaves its group disabled.
#include "voice/InputDevicePlatform.h"

namespace pavonia {

class NoInputDevices final : public InputDevicePlatform {
public:
    std::optional<std::vector<DeviceFormat>> queryCapabilities() override { return std::nullopt; }
    bool openWaveIn(const WaveInFormat&) override { return false; }
    void closeWaveIn() override {}
    bool openMixer() override { return false; }
    void closeMixer() override {}
    LineQuery findWaveInLine(int&) override { return LineQuery::Failed; }
    std::optional<std::vector<MixerControl>> waveInControls() override { return std::nullopt; }
    std::optional<std::vector<std::string>> selectorNames(const MixerControl&) override { return std::nullopt; }
    std::optional<std::vector<bool>> selectorValues(const MixerControl&) override { return std::nullopt; }
    bool setSelectorValues(const MixerControl&, const std::vector<bool>&) override { return false; }
    std::optional<VolumeControl> sourceVolume(int) override { return std::nullopt; }
    std::optional<std::vector<std::uint32_t>> volumeValues(const VolumeControl&) override { return std::nullopt; }
    bool setVolumeValues(const VolumeControl&, const std::vector<std::uint32_t>&) override { return false; }
};

} // namespace pavonia
