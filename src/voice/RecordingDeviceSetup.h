#pragma once
// The "Record Settings" group of the Preferences dialog without its widgets:
// opens the default recording device in the first format it offers, lists
// the inputs of its mixer, and sets the chosen input's recording volume from
// a slider. Nothing is stored in a settings file: the choice is made on the
// device itself. Every failure shows its message once and disables the
// group; the rest of the dialog keeps working. The view learns of changes
// through setViewChanged (see ViewNotifier).
#include "platform/Ui.h"
#include "platform/ViewNotifier.h"
#include "voice/InputDevicePlatform.h"

#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace pavonia {

class RecordingDeviceSetup : public ViewNotifier<RecordingDeviceSetup> {
public:
    enum class SliderAction { LineUp, LineDown, PageUp, PageDown, Home, End, Drag };
    static constexpr int kSliderLimit = 32767;

    RecordingDeviceSetup(InputDevicePlatform& platform, Ui& ui);
    ~RecordingDeviceSetup();
    RecordingDeviceSetup(const RecordingDeviceSetup&) = delete;
    RecordingDeviceSetup& operator=(const RecordingDeviceSetup&) = delete;

    // When the dialog opens: the device, then the mixer.
    void open();
    // When the dialog closes: the device and the mixer are released.
    void close();
    // The user picked another input from the list.
    void selectInput(int index);
    // The user moved the slider; `thumb` is the dragged position.
    void moveSlider(SliderAction action, int thumb = 0);

    // The first of the supported formats, in the order tried; nothing when
    // none is 16-bit PCM at one of the rates and channel counts tried.
    static std::optional<WaveInFormat> chooseFormat(const std::vector<DeviceFormat>& supported);
    // The slider's maximum for a control of `steps` steps.
    static int sliderMaximumFor(std::uint32_t steps);

    bool waveInOpen() const { return waveInOpen_; }
    const std::optional<WaveInFormat>& format() const { return format_; }
    // The input list and its label.
    bool inputListEnabled() const { return inputListEnabled_; }
    // The slider and its label.
    bool sliderEnabled() const { return sliderEnabled_; }
    const std::vector<std::string>& inputs() const { return inputs_; }
    int selectedInput() const { return selectedInput_; }
    int sliderMaximum() const { return sliderMaximum_; }
    int sliderPosition() const { return sliderPosition_; }
    int lineSize() const { return 1; }
    int pageSize() const;

    // Everything the view shows, as one value.
    auto visibleState() const
    {
        return std::tuple(inputListEnabled_, sliderEnabled_, inputs_, selectedInput_, sliderMaximum_, sliderPosition_);
    }

private:
    bool openWaveIn();
    void setUpMixer();
    void failMixer(int textId);
    void setUpVolume(int item);
    void writeVolume();
    void disableAll();

    InputDevicePlatform& platform_;
    Ui& ui_;
    bool waveInOpen_ = false;
    bool mixerOpen_ = false;
    std::optional<WaveInFormat> format_;
    bool inputListEnabled_ = true;
    bool sliderEnabled_ = true;
    std::optional<MixerControl> selector_;
    std::vector<std::string> inputs_;
    int selectedInput_ = -1;
    std::optional<VolumeControl> volume_;
    int sliderMaximum_ = 0;
    int sliderPosition_ = 0;
};

} // namespace pavonia
