#pragma once
// The platform's recording inputs as the recording device setup sees them:
// the default recording device with the formats it reports, and its mixer
// with a wave-in line whose selector picks the input (microphone, line in,
// ...) and whose source lines carry a volume control. The Qt program
// implements it over Qt Multimedia (QtInputDevices); tests script it.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pavonia {

// A format a recording device reports it can record.
struct DeviceFormat {
    int sampleRate = 0;
    int channels = 0;
    int bitsPerSample = 0;
    friend bool operator==(const DeviceFormat&, const DeviceFormat&) = default;
};

// The PCM format a recording device is opened with.
struct WaveInFormat {
    int sampleRate = 0;
    int channels = 0;
    int bitsPerSample = 16;
    int byteRate = 0;
    int blockAlign = 0;
    friend bool operator==(const WaveInFormat&, const WaveInFormat&) = default;
};

struct MixerControl {
    enum class Type { Selector, Volume, Other }; // Selector: a multiplexer or mixer control
    Type type = Type::Other;
    int id = 0;
    int itemCount = 1;
};

// A volume control: every channel of every item holds a value from minimum
// to maximum in `steps` steps.
struct VolumeControl {
    int id = 0;
    int channels = 1; // 1 when the control is uniform
    int items = 1;    // its multiple-item count when it has several items
    std::uint32_t minimum = 0;
    std::uint32_t maximum = 0;
    std::uint32_t steps = 0;
};

enum class LineQuery { Found, NotFound, Failed };

class InputDevicePlatform {
public:
    virtual ~InputDevicePlatform() = default;

    // The formats of the default recording device; nothing when it cannot be asked.
    virtual std::optional<std::vector<DeviceFormat>> queryCapabilities() = 0;
    virtual bool openWaveIn(const WaveInFormat& format) = 0;
    virtual void closeWaveIn() = 0;

    // The mixer that belongs to the opened recording device.
    virtual bool openMixer() = 0;
    virtual void closeMixer() = 0;
    // The first destination line that records (wave-in) and its number of
    // controls; Failed when a line query failed.
    virtual LineQuery findWaveInLine(int& controlCount) = 0;
    // The controls of that line; nothing when they cannot be read.
    virtual std::optional<std::vector<MixerControl>> waveInControls() = 0;
    virtual std::optional<std::vector<std::string>> selectorNames(const MixerControl& selector) = 0;
    virtual std::optional<std::vector<bool>> selectorValues(const MixerControl& selector) = 0;
    virtual bool setSelectorValues(const MixerControl& selector, const std::vector<bool>& values) = 0;
    // The first volume control of the source line behind selector item
    // `item`; nothing when it has none.
    virtual std::optional<VolumeControl> sourceVolume(int item) = 0;
    // channels x items values, item by item; nothing when they cannot be read.
    virtual std::optional<std::vector<std::uint32_t>> volumeValues(const VolumeControl& control) = 0;
    virtual bool setVolumeValues(const VolumeControl& control, const std::vector<std::uint32_t>& values) = 0;
};

} // namespace pavonia
